// Cut, Copy, Paste and Clear on the selected memory through the system clipboard, and drag and
// drop of whole memories between the memory buttons.
#include <QClipboard>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

#include "PageFixture.h"
#include "data/CTarnProgramMemoryData.h"
#include "support/RecordingTraceSink.h"
#include "ui/framework/CTarnPopupParameter.h"

namespace {

using P = CTarnProgramMemoryData;

QByteArray ClipboardBytes(const std::string& mime) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(QString::fromStdString(mime)) : QByteArray();
}

void PutOnClipboard(const std::string& mime, const QByteArray& bytes) {
    auto* data = new QMimeData;
    data->setData(QString::fromStdString(mime), bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

// A drag from outside the program (another editor window) dropped at a point of the page.
Qt::DropAction SendDrop(QWidget* target, QPoint position, QMimeData* data,
                        Qt::KeyboardModifiers modifiers) {
    QDragEnterEvent enter(position, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                          modifiers);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(position, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(target, &move);
    if (!move.isAccepted()) {
        return Qt::IgnoreAction;
    }
    QDropEvent drop(position, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

long Count(const RecordingTraceSink& trace, const std::string& line) {
    const auto lines = trace.Lines();
    return std::count(lines.begin(), lines.end(), line);
}

} // namespace

using ProgramMemoryClipboard = PageFixture;
using ProgramMemoryDragDrop = PageFixture;

TEST_F(ProgramMemoryClipboard, CopyPutsTheFortyByteBlockOfTheSelectedMemory) {
    Memory(1).SetParameter(ParamAddress(P::kParamScale), 17);
    ClickOn(Control("BtnMemory2"));
    EXPECT_EQ(page->SelectedMemory(), 1);
    EXPECT_EQ(Control("BtnMemory2")->Value(), 1);
    EXPECT_EQ(Control("BtnMemory1")->Value(), 0);

    host->Copy();
    const QByteArray block = ClipboardBytes(MimeType());
    ASSERT_EQ(block.size(), 40);
    EXPECT_EQ(block.left(4), QByteArray("PPXT"));            // 'TXPP' little-endian
    EXPECT_EQ(block.mid(4, 4), QByteArray("\x01\0\0\0", 4)); // memory 2
    EXPECT_EQ(block.mid(8, 30), Block(1).mid(8, 30));
    EXPECT_FALSE(host->IsModified());
}

TEST_F(ProgramMemoryClipboard, PasteTakesTheBlockAsCopiedEvenWhenItsSourceWasEditedSince) {
    ClickOn(Control("BtnMemory2"));
    host->Copy();
    const Image copied = ImageOf(1);
    // Memory 2 is edited after the copy.
    qobject_cast<CTarnPopupParameter*>(Control("Scale2"))->Choose(30);
    const Image edited = ImageOf(1);
    ASSERT_NE(edited, copied);
    host->SetModified(false);

    ClickOn(Control("BtnMemory7"));
    auto before = Images();
    host->Paste();
    EXPECT_EQ(ImageOf(6), copied);
    EXPECT_EQ(ImageOf(1), edited);
    before[6] = copied;
    EXPECT_EQ(Images(), before);
    EXPECT_EQ(NameShown(6), "[A.040]  Vibraphone");
    EXPECT_TRUE(host->IsModified());
}

TEST_F(ProgramMemoryClipboard, CutLeavesTheMemorysInitialProgram) {
    AnswerMenuWith(3);
    ClickOn(Control("MemoryName8"));
    Memory(7).SetParameter(ParamAddress(P::kParamKey), 20);
    ClickOn(Control("BtnMemory8"));
    const QByteArray cutBlock = Block(7);
    host->SetModified(false);

    host->Cut();
    EXPECT_EQ(NameShown(7), "[V.235]  Vocod-Unison");
    EXPECT_EQ(Memory(7).GetParameter(ParamAddress(P::kParamKey)), 12);
    EXPECT_EQ(ClipboardBytes(MimeType()), cutBlock);
    EXPECT_TRUE(host->IsModified());

    // The cut memory comes back with Paste.
    host->Paste();
    EXPECT_EQ(NameShown(7), "[L.003]  " + *resolver.GetString("ProgramName", 3));
}

TEST_F(ProgramMemoryClipboard, ClearResetsOnlyTheSelectedMemory) {
    for (int i = 0; i < 8; ++i) {
        Memory(i).SetParameter(ParamAddress(P::kParamScale), 20 + i);
    }
    ClickOn(Control("BtnMemory4"));
    host->Clear();
    EXPECT_EQ(Memory(3).GetParameter(ParamAddress(P::kParamProgram)), 95);
    EXPECT_EQ(Memory(3).GetParameter(ParamAddress(P::kParamScale)), 2);
    EXPECT_EQ(Control("Scale4")->Text(), "[02] ION");
    EXPECT_EQ(Memory(2).GetParameter(ParamAddress(P::kParamScale)), 22);
    EXPECT_EQ(Memory(4).GetParameter(ParamAddress(P::kParamScale)), 24);
    EXPECT_TRUE(host->IsModified());
}

TEST_F(ProgramMemoryClipboard, AWrongBlockOnTheClipboardChangesNothing) {
    RecordingTraceSink trace;
    const auto before = Images();
    QByteArray shortBlock = Block(3).left(39);
    PutOnClipboard(MimeType(), shortBlock);
    host->Paste();
    QByteArray wrongTag = Block(3);
    wrongTag[0] = 'X';
    PutOnClipboard(MimeType(), wrongTag);
    host->Paste();
    PutOnClipboard("text/plain", Block(3));
    host->Paste();
    EXPECT_EQ(Images(), before);
    EXPECT_FALSE(host->IsModified());
    EXPECT_EQ(Count(trace, "Failed to set block data."), 2);
    EXPECT_EQ(Count(trace, "Failed to get clipboard data."), 1);
}

TEST_F(ProgramMemoryDragDrop, ADragCarriesTheMemorysBlock) {
    const auto data = page->OnEfControlBeginDrag(Control("BtnMemory3"), QPoint(5, 5));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(QString::fromStdString(MimeType())), Block(2));
    EXPECT_EQ(page->OnEfControlBeginDrag(Control("Scale3"), QPoint(5, 5)), nullptr);
}

TEST_F(ProgramMemoryDragDrop, DraggingOntoAnotherMemoryExchangesThem) {
    Memory(2).SetParameter(ParamAddress(P::kParamScale), 9);
    const Image three = ImageOf(2);
    const Image five = ImageOf(4);
    EXPECT_EQ(Drop(4, Block(2), Control("BtnMemory3"), false), EfDropEffect::kMove);
    EXPECT_EQ(ImageOf(4), three);
    EXPECT_EQ(ImageOf(2), five);
    EXPECT_EQ(NameShown(4), "[B.055]  Sub Bass");
    EXPECT_EQ(NameShown(2), "[S.135]  " + *resolver.GetString("ProgramName", 135));
    EXPECT_EQ(Control("Scale5")->Text(), "[09] HMN");
    EXPECT_EQ(Control("Scale3")->Text(), "[02] ION");
    EXPECT_EQ(page->SelectedMemory(), 4);
    EXPECT_EQ(Control("BtnMemory5")->Value(), 1);
    EXPECT_TRUE(host->IsModified());
}

TEST_F(ProgramMemoryDragDrop, TheCopyModifierCopiesAndLeavesTheSource) {
    const Image three = ImageOf(2);
    auto before = Images();
    EXPECT_EQ(Drop(4, Block(2), Control("BtnMemory3"), true), EfDropEffect::kCopy);
    before[4] = three;
    EXPECT_EQ(Images(), before);
}

TEST_F(ProgramMemoryDragDrop, OntoItselfNothingHappens) {
    const auto before = Images();
    EXPECT_EQ(Drop(2, Block(2), Control("BtnMemory3"), false), EfDropEffect::kNone);
    EXPECT_EQ(Drop(2, Block(2), Control("BtnMemory3"), true), EfDropEffect::kNone);
    EXPECT_EQ(Images(), before);
    EXPECT_FALSE(host->IsModified());
    EXPECT_EQ(page->SelectedMemory(), 0);
}

TEST_F(ProgramMemoryDragDrop, ADropFromElsewhereIsACopy) {
    // A block from another editor window: its index names a memory there, not here.
    const Image three = ImageOf(2);
    auto before = Images();
    EXPECT_EQ(Drop(4, Block(2), nullptr, false), EfDropEffect::kCopy);
    before[4] = three;
    EXPECT_EQ(Images(), before);
    EXPECT_TRUE(host->IsModified());
}

TEST_F(ProgramMemoryDragDrop, OnlyMemoryButtonsTakeTheFormat) {
    QMimeData data;
    data.setData(QString::fromStdString(MimeType()), Block(1));
    const CEfDragInfo info = CEfDragInfo::From(&data, Qt::NoModifier, nullptr, &resolver);
    EXPECT_EQ(page->OnEfControlDragOver(Control("BtnMemory2"), info), EfDropEffect::kMove);
    EXPECT_EQ(page->OnEfControlDragOver(Control("Scale2"), info), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDragOver(Control("MemoryName2"), info), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDragOver(nullptr, info), EfDropEffect::kNone);

    QMimeData other;
    other.setText("hello");
    const CEfDragInfo text = CEfDragInfo::From(&other, Qt::NoModifier, nullptr, &resolver);
    EXPECT_EQ(page->OnEfControlDragOver(Control("BtnMemory2"), text), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDrop(Control("BtnMemory2"), text), EfDropEffect::kNone);
}

TEST_F(ProgramMemoryDragDrop, AWrongBlockDroppedChangesNothing) {
    RecordingTraceSink trace;
    const auto before = Images();
    EXPECT_EQ(Drop(4, Block(2).left(39), Control("BtnMemory3"), false), EfDropEffect::kNone);
    QByteArray wrongTag = Block(2);
    wrongTag[3] = 'Q';
    EXPECT_EQ(Drop(4, wrongTag, nullptr, true), EfDropEffect::kNone);
    EXPECT_EQ(Images(), before);
    EXPECT_FALSE(host->IsModified());
    EXPECT_EQ(page->SelectedMemory(), 0);
    EXPECT_EQ(Count(trace, "Failed to set block data."), 2);
}

TEST_F(ProgramMemoryDragDrop, ASourceIndexBeyondTheEightMemoriesCopies) {
    QByteArray block = Block(2);
    block[4] = 9;
    const Image three = ImageOf(2);
    auto before = Images();
    EXPECT_EQ(Drop(4, block, Control("BtnMemory3"), false), EfDropEffect::kCopy);
    before[4] = three;
    EXPECT_EQ(Images(), before);
}

TEST_F(ProgramMemoryDragDrop, ADropFromAnotherWindowReachesTheButtonUnderThePointer) {
    const Image two = ImageOf(1);
    auto before = Images();
    QMimeData data;
    data.setData(QString::fromStdString(MimeType()), Block(1));
    // Memory 6's button, and then the scale pop-up of the same row.
    const QPoint button = Control("BtnMemory6")->geometry().center();
    EXPECT_EQ(SendDrop(page, button, &data, Qt::NoModifier), Qt::CopyAction);
    before[5] = two;
    EXPECT_EQ(Images(), before);
    EXPECT_EQ(page->SelectedMemory(), 5);

    const QPoint scale = Control("Scale7")->geometry().center();
    EXPECT_EQ(SendDrop(page, scale, &data, Qt::NoModifier), Qt::IgnoreAction);
    EXPECT_EQ(Images(), before);
}

TEST_F(ProgramMemoryDragDrop, HoverOffersCopyWithTheCopyModifier) {
    QMimeData data;
    data.setData(QString::fromStdString(MimeType()), Block(1));
    const CEfDragInfo info = CEfDragInfo::From(&data, Qt::ControlModifier, nullptr, &resolver);
    EXPECT_EQ(page->OnEfControlDragOver(Control("BtnMemory2"), info), EfDropEffect::kCopy);
}
