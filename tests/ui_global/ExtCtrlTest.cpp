// The External Controller tab: controller list, parameter layers, blocks and drags.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "GlobalPageFixture.h"
#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnHostListener.h"
#include "data/CTarnGlobalData.h"
#include "support/RecordingTraceSink.h"
#include "ui/framework/CEfDragInfo.h"
#include "ui/pages/global/CTarnExtCtrlContainer.h"
#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"
#include "ui/pages/global/CTarnExtCtrlSwitchLayer.h"
#include "ui/pages/global/CTarnGlobalContainer.h"
#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"

namespace {

using ExtCtrlList = GlobalPageFixture;
using ExtCtrlSwitch = GlobalPageFixture;
using ExtCtrlLayers = GlobalPageFixture;
using ExtCtrlBlocks = GlobalPageFixture;

using G = CTarnGlobalData;

int Param(const CTarnGlobalData& global, int id, int sub = -1) {
    return global.GetParameter(ParamAddress(id, sub));
}

std::array<uint8_t, 4> Record(const CTarnGlobalData& global, int row) {
    const uint8_t* p = global.GetNativeData() + G::ExtCtrlOffsetOf(row);
    return {p[0], p[1], p[2], p[3]};
}

std::string Mime() {
    return CTarnClipboardTypeManager::Instance()->GetMimeType("ExtCtrlData");
}

// A drag of `bytes` as the layer sees it; source null for a drag from another program window.
CEfDragInfo Drag(const QByteArray& bytes, const CEfControl* source,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    CEfDragInfo info;
    info.formats = {"ExtCtrlData"};
    info.mimeTypes = {Mime()};
    static QMimeData data;
    data.setData(QString::fromStdString(Mime()), bytes);
    info.data = &data;
    info.source = source;
    info.modifiers = modifiers;
    return info;
}

QByteArray Block(int32_t row, int32_t kind, std::array<uint8_t, 4> bytes) {
    ExtCtrlEntry entry;
    entry.row = row;
    entry.kind = kind;
    entry.bytes = bytes;
    QByteArray out(12, '\0');
    entry.ToBytes(reinterpret_cast<uint8_t*>(out.data()));
    return out;
}

} // namespace

TEST_F(ExtCtrlList, ButtonsShowTheirSummariesAndTheSelection) {
    CTarnGlobalExtCtrlLayer& list = List();
    EXPECT_EQ(host->GetSelectedExtController(), 4);
    EXPECT_EQ(Control(list, "A.PrgMem1").Value(), 1);
    EXPECT_EQ(Control(list, "A.BankA").Value(), 0);
    EXPECT_EQ(Control(list, "A.BankA").Text(), "#080");
    EXPECT_EQ(Control(list, "A.PrgMem1").Text(), "#049");
    EXPECT_EQ(Control(list, "A.ProgVol").Text(), "#094");
    EXPECT_EQ(Control(list, "A.PadTouch").Text(), "Pad Touch");
    EXPECT_EQ(Control(list, "A.PadXY").Text(), "Pad Assign");
    EXPECT_EQ(Control(list, "A.PadNote").Text(), "Pad Note");

    Global().SetParameter(ParamAddress(26, 0), 0);
    host->PostMessage(5);
    ProcessEvents();
    EXPECT_EQ(Control(list, "A.BankA").Text(), "---");
}

TEST_F(ExtCtrlList, SelectionSwitchesTheParameterLayerByTheRowTable) {
    CTarnGlobalExtCtrlLayer& list = List();
    const struct {
        const char* key;
        int row;
        int kind;
    } rows[] = {{"A.BankA", 0, 0},    {"A.GateArpSw", 12, 0}, {"A.PadTouch", 13, 0},
                {"A.ProgVol", 14, 1}, {"A.Slider", 15, 1},    {"A.PadXY", 16, 2},
                {"A.PadNote", 17, 3}, {"A.PrgMem8", 11, 0}};
    for (const auto& r : rows) {
        Click(list, r.key);
        EXPECT_EQ(host->GetSelectedExtController(), r.row) << r.key;
        EXPECT_EQ(host->GetExtCtrlLayerKind(), r.kind) << r.key;
        EXPECT_EQ(Page().ExtCtrl()->ShownKind(), r.kind) << r.key;
        EXPECT_EQ(Control(list, r.key).Value(), 1) << r.key;
        ProcessEvents();
        EXPECT_EQ(Control(ParamLayer(), "C.Controller").Text(),
                  list.ListTexts("ExtControllerName")[r.row])
            << r.key;
    }
    EXPECT_FALSE(host->IsModified());
}

TEST_F(ExtCtrlList, PadPatternPopupAndPictureStayInStep) {
    CTarnGlobalExtCtrlLayer& list = List();
    Change(list, "P.PadPattern", 3);
    EXPECT_EQ(Param(Global(), 25), 3);
    EXPECT_EQ(Control(list, "B.PadPattern").Value(), 3);
    EXPECT_EQ(host->GetSelectedExtController(), 16);
    EXPECT_EQ(host->GetExtCtrlLayerKind(), 2);
    Change(list, "B.PadPattern", 0);
    EXPECT_EQ(Global().GetNativeData()[0x40], 7);
    EXPECT_EQ(Control(list, "P.PadPattern").Text(), "Pattern Note");
    EXPECT_TRUE(host->IsModified());
}

TEST_F(ExtCtrlSwitch, StartShowsSttAndHidesTheTwelveControls) {
    CTarnGlobalExtCtrlLayer& list = List();
    Click(list, "A.BankA");
    auto& layer = ParamLayer();
    const char* details[] = {"P.MidiCh",   "C.MidiCh",   "P.SwType",   "C.SwType",   "P.MinValue",
                             "C.MinValue", "P.MaxValue", "C.MaxValue", "P.CcNumber", "C.CcNumber"};
    for (const char* key : details) {
        EXPECT_TRUE(Control(layer, key).IsControlVisible()) << key;
    }
    Change(layer, "P.AssignType", 2);
    EXPECT_EQ(Param(Global(), 26, 2), 1);
    EXPECT_EQ(Param(Global(), 26, 4), 1);
    EXPECT_EQ(Control(layer, "P.AssignType").Text(), "Start");
    ProcessEvents();
    EXPECT_EQ(Control(list, "A.BankA").Text(), "STT");
    for (const char* key : details) {
        EXPECT_FALSE(Control(layer, key).IsControlVisible()) << key;
    }
    EXPECT_FALSE(Control(layer, "P.NoteNumber").IsControlVisible());
    EXPECT_FALSE(Control(layer, "C.NoteNumber").IsControlVisible());
    Change(layer, "P.AssignType", 4);
    ProcessEvents();
    EXPECT_EQ(Control(list, "A.BankA").Text(), "STOP");
    EXPECT_TRUE(host->IsModified());
}

TEST_F(ExtCtrlSwitch, CcThirtySixShowsTheNumberAndNoteShowsTheName) {
    CTarnGlobalExtCtrlLayer& list = List();
    Click(list, "A.BankB");
    auto& layer = ParamLayer();
    Change(layer, "P.AssignType", 1);
    Change(layer, "P.CcNumber", 36);
    ProcessEvents();
    EXPECT_EQ(Control(list, "A.BankB").Text(), "#036");
    EXPECT_TRUE(Control(layer, "P.CcNumber").IsControlVisible());
    EXPECT_FALSE(Control(layer, "P.NoteNumber").IsControlVisible());
    EXPECT_EQ(Control(layer, "C.MinValue").Text(), "Off Value");
    EXPECT_EQ(Control(layer, "C.MaxValue").Text(), "On Value");

    Change(layer, "P.AssignType", 0);
    ProcessEvents();
    EXPECT_EQ(Control(list, "A.BankB").Text(), "C  2");
    EXPECT_EQ(Control(layer, "P.NoteNumber").Text(), "C  2 ");
    EXPECT_FALSE(Control(layer, "P.CcNumber").IsControlVisible());
    EXPECT_EQ(Control(layer, "C.MinValue").Text(), "Off Velocity");
    EXPECT_EQ(Control(layer, "C.MaxValue").Text(), "On Velocity");
}

TEST_F(ExtCtrlSwitch, AssignTypeMapsBothWays) {
    EXPECT_EQ(CTarnExtCtrlSwitchLayer::AssignTypeOf(0, 0), 0);
    EXPECT_EQ(CTarnExtCtrlSwitchLayer::AssignTypeOf(0, 1), 1);
    EXPECT_EQ(CTarnExtCtrlSwitchLayer::AssignTypeOf(1, 1), 2);
    EXPECT_EQ(CTarnExtCtrlSwitchLayer::AssignTypeOf(3, 0), 4);
    int realtime = -1;
    int kind = -1;
    CTarnExtCtrlSwitchLayer::ApplyAssignType(3, 1, &realtime, &kind);
    EXPECT_EQ(realtime, 2);
    EXPECT_EQ(kind, 1);
    CTarnExtCtrlSwitchLayer::ApplyAssignType(0, 1, &realtime, &kind);
    EXPECT_EQ(realtime, 0);
    EXPECT_EQ(kind, 0);
}

TEST_F(ExtCtrlSwitch, EnableOffDisablesTheSubValueControls) {
    CTarnGlobalExtCtrlLayer& list = List();
    Click(list, "A.PrgMem2");
    auto& layer = ParamLayer();
    Change(layer, "P.Enable", 0);
    for (const char* key :
         {"P.MidiCh", "P.CcNumber", "P.MinValue", "P.MaxValue", "P.SwType", "P.AssignType"}) {
        EXPECT_FALSE(Control(layer, key).IsControlEnabled()) << key;
    }
    EXPECT_EQ(Param(Global(), 31, 5), 50);
    ProcessEvents();
    EXPECT_EQ(Control(list, "A.PrgMem2").Text(), "---");
    Change(layer, "P.Enable", 1);
    EXPECT_TRUE(Control(layer, "P.MinValue").IsControlEnabled());
}

TEST_F(ExtCtrlLayers, SliderXyPadAndPadNoteWriteTheirParameters) {
    CTarnGlobalExtCtrlLayer& list = List();
    Click(list, "A.Slider");
    auto& slider = ParamLayer();
    Change(slider, "P.MidiCh", 16);
    Change(slider, "P.MaxValue", 100);
    EXPECT_EQ(Param(Global(), 41, 3), 16);
    EXPECT_EQ(Param(Global(), 41, 8), 100);
    EXPECT_EQ(Control(slider, "P.MidiCh").Text(), "Global");

    Click(list, "A.PadXY");
    auto& pads = ParamLayer();
    Change(pads, "P.P3.Cc#", 20);
    Change(pads, "P.Pad3Ena", 0);
    EXPECT_EQ(Param(Global(), 55, 5), 20);
    EXPECT_EQ(Param(Global(), 55, 0), 0);
    EXPECT_FALSE(Control(pads, "P.P3.Cc#").IsControlEnabled());
    EXPECT_FALSE(Control(pads, "P.P3.Ch").IsControlEnabled());
    EXPECT_TRUE(Control(pads, "P.P4.Cc#").IsControlEnabled());

    Click(list, "A.PadNote");
    auto& note = ParamLayer();
    EXPECT_EQ(Control(note, "P.ProgLeft").Text(), "C  3 ");
    Change(note, "P.ProgLeft", 40);
    EXPECT_EQ(Global().GetNativeData()[0xA1], 52);
    Change(note, "P.PNNoteOn", 127);
    EXPECT_EQ(Param(Global(), 52), 127);
    Change(note, "P.Enable", 0);
    EXPECT_FALSE(Control(note, "P.PNNoteOn").IsControlEnabled());
    EXPECT_TRUE(Control(note, "P.Enable").IsControlEnabled());
    EXPECT_TRUE(host->IsModified());
}

TEST_F(ExtCtrlBlocks, DragExchangesRowsOfTheSameKindOnly) {
    CTarnGlobalExtCtrlLayer& list = List();
    const auto bankA = Record(Global(), 0);
    const auto memory3 = Record(Global(), 6);
    const auto volume = Record(Global(), 14);
    CEfControl& source = Control(list, "A.BankA");
    const QByteArray block = list.BlockOf(0);
    ASSERT_EQ(block.size(), 12);

    // Onto a slider row: refused, nothing changes.
    CEfControl& slider = Control(list, "A.ProgVol");
    EXPECT_EQ(list.OnEfControlDragOver(&slider, Drag(block, &source)), EfDropEffect::kNone);
    EXPECT_EQ(list.OnEfControlDrop(&slider, Drag(block, &source)), EfDropEffect::kNone);
    EXPECT_EQ(Record(Global(), 14), volume);
    EXPECT_FALSE(host->IsModified());
    // Pad rows take nothing and give nothing.
    EXPECT_EQ(list.OnEfControlDragOver(&Control(list, "A.PadXY"), Drag(block, &source)),
              EfDropEffect::kNone);
    EXPECT_TRUE(list.BlockOf(16).isEmpty());
    EXPECT_TRUE(list.BlockOf(17).isEmpty());
    EXPECT_EQ(list.OnEfControlBeginDrag(&Control(list, "A.PadNote"), {}), nullptr);

    CEfControl& target = Control(list, "A.PrgMem3");
    EXPECT_EQ(list.OnEfControlDragOver(&target, Drag(block, &source)), EfDropEffect::kMove);
    EXPECT_EQ(list.OnEfControlDrop(&target, Drag(block, &source)), EfDropEffect::kMove);
    EXPECT_EQ(Record(Global(), 0), memory3);
    EXPECT_EQ(Record(Global(), 6), bankA);
    EXPECT_EQ(host->GetSelectedExtController(), 6);
    EXPECT_TRUE(host->IsModified());
    EXPECT_EQ(target.Text(), "#080");
}

TEST_F(ExtCtrlBlocks, CopyModifierOrAnotherWindowCopies) {
    CTarnGlobalExtCtrlLayer& list = List();
    const auto bankC = Record(Global(), 2);
    CEfControl& source = Control(list, "A.BankC");
    const QByteArray block = list.BlockOf(2);
    CEfControl& target = Control(list, "A.PrgMem1");
    EXPECT_EQ(list.OnEfControlDragOver(&target, Drag(block, &source, Qt::ControlModifier)),
              EfDropEffect::kCopy);
    EXPECT_EQ(list.OnEfControlDrop(&target, Drag(block, &source, Qt::ControlModifier)),
              EfDropEffect::kCopy);
    EXPECT_EQ(Record(Global(), 4), bankC);
    EXPECT_EQ(Record(Global(), 2), bankC);
    // From another window: the block as carried, into the row dropped on.
    const QByteArray foreign = Block(15, G::kSlider, {0x85, 0x21, 0x05, 0x60});
    EXPECT_EQ(list.OnEfControlDrop(&Control(list, "A.ProgVol"), Drag(foreign, nullptr)),
              EfDropEffect::kCopy);
    EXPECT_EQ(Record(Global(), 14), (std::array<uint8_t, 4>{0x85, 0x21, 0x05, 0x60}));
    // Onto itself: nothing changes.
    host->SetModified(false);
    const auto before = Record(Global(), 2);
    EXPECT_EQ(list.OnEfControlDrop(&source, Drag(block, &source)), EfDropEffect::kNone);
    EXPECT_EQ(Record(Global(), 2), before);
    EXPECT_FALSE(host->IsModified());
}

TEST_F(ExtCtrlBlocks, MalformedBlocksChangeNothing) {
    CTarnGlobalExtCtrlLayer& list = List();
    const std::vector<uint8_t> image(Global().GetNativeData(), Global().GetNativeData() + 256);
    CEfControl& target = Control(list, "A.BankD");
    const QByteArray wrong[] = {
        QByteArray(11, '\0'),                                  // short
        Block(0, G::kSwitch, {0, 0, 0, 0}) + QByteArray(1, 0), // long
        Block(14, G::kSwitch, {0x80, 1, 2, 3}),                // slider row named a switch
        Block(16, 2, {0x80, 1, 2, 3}),                         // pad row
        Block(40, G::kSwitch, {0x80, 1, 2, 3}),                // no such row
        Block(14, G::kSlider, {0x80, 1, 2, 3}),                // slider onto a switch row
    };
    for (const QByteArray& bytes : wrong) {
        EXPECT_EQ(list.OnEfControlDragOver(&target, Drag(bytes, nullptr)), EfDropEffect::kNone);
        EXPECT_EQ(list.OnEfControlDrop(&target, Drag(bytes, nullptr)), EfDropEffect::kNone);
        host->SelectExtController(3);
        auto* data = new QMimeData;
        data->setData(QString::fromStdString(Mime()), bytes);
        QApplication::clipboard()->setMimeData(data);
        list.Paste();
    }
    EXPECT_EQ(std::vector<uint8_t>(Global().GetNativeData(), Global().GetNativeData() + 256),
              image);
    EXPECT_FALSE(host->IsModified());
    QApplication::clipboard()->clear();
}

TEST_F(ExtCtrlBlocks, EditCommandsCopyPasteCutAndClearTheSelectedRow) {
    CTarnGlobalExtCtrlLayer& list = List();
    Click(list, "A.BankB");
    Change(ParamLayer(), "P.MaxValue", 99);
    const auto bankB = Record(Global(), 1);
    ASSERT_TRUE(host->SetPage(2));
    host->Copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(QString::fromStdString(Mime())));
    EXPECT_EQ(data->data(QString::fromStdString(Mime())), list.BlockOf(1));

    Click(list, "A.PrgMem5");
    host->Paste();
    EXPECT_EQ(Record(Global(), 8), bankB);
    ProcessEvents();
    EXPECT_EQ(Control(list, "A.PrgMem5").Text(), Control(list, "A.BankB").Text());

    // A switch block does not go into a slider row.
    Click(list, "A.ProgVol");
    const auto volume = Record(Global(), 14);
    host->Paste();
    EXPECT_EQ(Record(Global(), 14), volume);

    Click(list, "A.PrgMem5");
    host->Cut();
    EXPECT_EQ(Record(Global(), 8), (std::array<uint8_t, 4>{0xC0, 0xB5, 0x80, 0x7F}));
    EXPECT_EQ(QApplication::clipboard()->mimeData()->data(QString::fromStdString(Mime())),
              Block(8, G::kSwitch, bankB));

    Click(list, "A.BankB");
    host->Clear();
    EXPECT_EQ(Record(Global(), 1), (std::array<uint8_t, 4>{0x80, 0xD1, 0x80, 0x7F}));
    Click(list, "A.Slider");
    Change(ParamLayer(), "P.MinValue", 5);
    host->Clear();
    EXPECT_EQ(Record(Global(), 15), (std::array<uint8_t, 4>{0x90, 0x5D, 0x00, 0xFF}));
    QApplication::clipboard()->clear();
}

namespace {
// A listener that refuses every change of the parameter layer.
class RefusingListener : public CTarnHostListener {
public:
    bool OnTarnHostExtCtrlLayerChangeRequested(int) override { return false; }
};
} // namespace

TEST_F(ExtCtrlList, ARefusedLayerChangeKeepsTheSelection) {
    CTarnGlobalExtCtrlLayer& list = List();
    RefusingListener refusing;
    host->AddListener(&refusing);
    Click(list, "A.ProgVol");
    host->RemoveListener(&refusing);
    EXPECT_EQ(host->GetSelectedExtController(), 4);
    EXPECT_EQ(host->GetExtCtrlLayerKind(), 0);
    EXPECT_EQ(Control(list, "A.ProgVol").Value(), 0);
    EXPECT_EQ(Control(list, "A.PrgMem1").Value(), 1);
}

TEST_F(ExtCtrlBlocks, PadRowsHaveNothingToCopyCutOrClear) {
    CTarnGlobalExtCtrlLayer& list = List();
    Click(list, "A.PadNote");
    QApplication::clipboard()->clear();
    const std::vector<uint8_t> image(Global().GetNativeData(), Global().GetNativeData() + 256);
    RecordingTraceSink trace;
    list.Copy();
    EXPECT_TRUE(trace.Contains("Failed to copy ext ctrl data."));
    list.Cut();
    list.Clear();
    EXPECT_EQ(std::vector<uint8_t>(Global().GetNativeData(), Global().GetNativeData() + 256),
              image);
    EXPECT_FALSE(host->IsModified());
    const QMimeData* data = QApplication::clipboard()->mimeData();
    EXPECT_TRUE(data == nullptr || !data->hasFormat(QString::fromStdString(Mime())));
}
