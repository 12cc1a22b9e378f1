// Banks on the Sample Librarian: selection, the waveform, Cut/Copy/Paste/Clear through the
// clipboard, bank drags between the buttons and audio files dropped on the page.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "SampleLibrarianFixture.h"
#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "framework/EfByteOrder.h"
#include "ui/framework/CTarnControlWaveGraph.h"

namespace {

using SampleBanks = SampleLibrarianFixture;
using SampleClipboard = SampleLibrarianFixture;
using SampleBankDrag = SampleLibrarianFixture;
using SampleFileDrop = SampleLibrarianFixture;

const std::string kFixtures = TALVEX_FIXTURES_DIR "/audio/";
const char* const kBankKeys[] = {"BtnSampleBankA", "BtnSampleBankB", "BtnSampleBankC",
                                 "BtnSampleBankD"};

TEST_F(SampleBanks, EveryControlOfThePageIsThere) {
    for (const char* key :
         {"BtnSampleBankA", "BtnSampleBankB", "BtnSampleBankC",  "BtnSampleBankD", "BtnWaveImport",
          "BtnWaveExport",  "BtnWaveReceive", "BtnWaveTransmit", "BtnWavePreview", "BtnTapTempo",
          "BtnTempoInc",    "BtnTempoDec",    "SampleTempo",     "C.SampleTempo",  "PhraseLength",
          "C.PhraseLength", "PlayLength",     "C.PlayLength",    "PhraseLevel",    "C.PlayLevel",
          "VuMeterL",       "VuMeterR",       "WaveGraph"}) {
        EXPECT_NE(page->FindControl(key), nullptr) << key;
    }
    EXPECT_EQ(Control("PhraseLength")->Maximum(), 8);
    EXPECT_EQ(Control("PhraseLevel")->Minimum(), 0);
    EXPECT_EQ(Control("PhraseLevel")->Maximum(), 127);
    EXPECT_EQ(Control("C.PlayLength")->Text(), "Phrase Play Length");
    EXPECT_EQ(Control("C.PlayLevel")->Text(), "Phrase Play Level");
}

TEST_F(SampleBanks, ClickingABankSelectsItInTheHostWithoutMarking) {
    BankData(2)->SetTempo(98.5);
    QTest::mouseClick(Control("BtnSampleBankC"), Qt::LeftButton);
    EXPECT_EQ(host->GetBank(), 2);
    EXPECT_EQ(page->SelectedBank(), 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Control(kBankKeys[i])->Value(), i == 2 ? 1 : 0) << i;
    }
    EXPECT_EQ(Control("SampleTempo")->Text(), "98.5");
    EXPECT_FALSE(host->IsModified());
    // Files opened from outside go to the bank shown.
    EXPECT_TRUE(host->OpenPath(kFixtures + "wav_s16_stereo_48k.wav"));
    EXPECT_GT(BankData(2)->GetLoadedFrames(), 0);
    EXPECT_EQ(BankData(0)->GetLoadedFrames(), 0);
}

TEST_F(SampleBanks, WaveformIsComputedOnlyWhenTheAudioOrItsRangeChanges) {
    auto* graph = page->FindControlAs<CTarnControlWaveGraph>("WaveGraph");
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->LaneColumns(0).empty());

    Fill(*BankData(1), 48000, 16384, -8192);
    page->SelectBank(1);
    EXPECT_EQ(graph->Sample(), BankData(1));
    ASSERT_EQ(graph->LaneCount(), 2);
    // 8 beats at 120 BPM: 192000 play frames over 664 columns; 48000 loaded frames fill a
    // quarter of them, the rest is the centre line.
    const auto& left = graph->LaneColumns(0);
    ASSERT_FALSE(left.empty());
    EXPECT_EQ(left.front().top, 25);
    EXPECT_EQ(left.front().bottom, 0);
    EXPECT_EQ(graph->LaneColumns(1).front().bottom, -12);

    // Changing the audio behind the page's back is not seen until the page is told.
    BankData(1)->SetSample(0, 0, 32767);
    page->OnEfControlChanged(Control("PhraseLevel"), 90);
    EXPECT_EQ(graph->LaneColumns(0).front().top, 25);
    // The range changes with the tempo: computed again.
    page->OnEfControlTextChanged(Control("SampleTempo"), "60");
    EXPECT_EQ(graph->LaneColumns(0).front().top, 50);
}

TEST_F(SampleClipboard, CopyAndPasteCarryTheWholeBank) {
    Fill(*BankData(0), 1000, 1200, -3400, 133.0);
    BankData(0)->SetLoopFlag(0);
    host->Copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QString mime = QString::fromStdString(resolver.GetMimeType("SampleData"));
    ASSERT_TRUE(data->hasFormat(mime));
    const QByteArray bytes = data->data(mime);
    ASSERT_EQ(bytes.size(), BankData(0)->GetBlockDataSize());
    EXPECT_EQ(ef::ReadLE32(reinterpret_cast<const uint8_t*>(bytes.constData())),
              CTarnSampleData::kBlockTag);
    EXPECT_FALSE(host->IsModified());

    page->SelectBank(3);
    host->Paste();
    EXPECT_EQ(Block(*BankData(3)), Block(*BankData(0)));
    EXPECT_TRUE(host->IsModified());
    EXPECT_EQ(Control("SampleTempo")->Text(), "133.0");
    EXPECT_FALSE(Control("BtnTapTempo")->IsControlEnabled());
}

TEST_F(SampleClipboard, CutAndClearEmptyTheBank) {
    Fill(*BankData(1), 500, 99, 99);
    page->SelectBank(1);
    const std::vector<uint8_t> before = Block(*BankData(1));
    host->Cut();
    EXPECT_EQ(BankData(1)->GetLoadedFrames(), 0);
    EXPECT_TRUE(host->IsModified());
    page->SelectBank(2);
    host->Paste();
    EXPECT_EQ(Block(*BankData(2)), before);
    host->Clear();
    EXPECT_EQ(BankData(2)->GetLoadedFrames(), 0);
    CTarnSampleData empty;
    empty.Initialize();
    EXPECT_EQ(Block(*BankData(2)), Block(empty));
}

TEST_F(SampleClipboard, ABlockOfTheWrongTagOrSizeChangesNothing) {
    Fill(*BankData(0), 700, 5, 6);
    const std::vector<uint8_t> before = Block(*BankData(0));
    const QString mime = QString::fromStdString(resolver.GetMimeType("SampleData"));
    const std::vector<uint8_t> good = Block(*BankData(0));

    auto paste = [&](QByteArray bytes) {
        auto* data = new QMimeData;
        data->setData(mime, bytes);
        QApplication::clipboard()->setMimeData(data);
        host->Paste();
    };
    QByteArray wrongTag(reinterpret_cast<const char*>(good.data()),
                        static_cast<qsizetype>(good.size()));
    wrongTag[0] = 'X';
    paste(wrongTag);
    QByteArray shortBlock(reinterpret_cast<const char*>(good.data()), 4000);
    paste(shortBlock);
    QByteArray tiny(reinterpret_cast<const char*>(good.data()), 60);
    paste(tiny);
    paste(QByteArray());
    EXPECT_EQ(Block(*BankData(0)), before);
    EXPECT_FALSE(host->IsModified());
    // Plain text on the clipboard is no bank either.
    QApplication::clipboard()->setText("BANK A");
    host->Paste();
    EXPECT_EQ(Block(*BankData(0)), before);
    EXPECT_FALSE(host->IsModified());
}

TEST_F(SampleBankDrag, AOntoCExchangesAndWithTheModifierCopies) {
    Fill(*BankData(0), 800, 1000, 1000, 100.0);
    Fill(*BankData(2), 300, -2000, 2000, 140.0);
    const std::vector<uint8_t> a = Block(*BankData(0));
    const std::vector<uint8_t> c = Block(*BankData(2));
    CEfControl* bankA = Control("BtnSampleBankA");
    CEfControl* bankC = Control("BtnSampleBankC");

    std::unique_ptr<QMimeData> data = page->OnEfControlBeginDrag(bankA, {});
    ASSERT_NE(data, nullptr);
    CEfDragInfo info = Drag(data.get(), Qt::NoModifier, bankA);
    EXPECT_EQ(page->OnEfControlDragOver(bankC, info), EfDropEffect::kMove);
    // Bank data is taken only on a bank button.
    EXPECT_EQ(page->OnEfControlDragOver(Control("WaveGraph"), info), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDragOver(nullptr, info), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDrop(bankC, info), EfDropEffect::kMove);
    EXPECT_EQ(Block(*BankData(2)), a);
    EXPECT_EQ(Block(*BankData(0)), c);
    EXPECT_EQ(host->GetBank(), 2);
    EXPECT_EQ(bankC->Value(), 1);
    EXPECT_TRUE(host->IsModified());

    // Now A holds C's old contents; with Ctrl, C becomes a copy of it and A stays.
    data = page->OnEfControlBeginDrag(bankA, {});
    info = Drag(data.get(), Qt::ControlModifier, bankA);
    EXPECT_EQ(page->OnEfControlDragOver(bankC, info), EfDropEffect::kCopy);
    EXPECT_EQ(page->OnEfControlDrop(bankC, info), EfDropEffect::kCopy);
    EXPECT_EQ(Block(*BankData(2)), c);
    EXPECT_EQ(Block(*BankData(0)), c);
}

TEST_F(SampleBankDrag, ABankFromElsewhereIsCopiedAndOntoItselfChangesNothing) {
    Fill(*BankData(1), 400, 300, 300);
    const std::vector<uint8_t> b = Block(*BankData(1));
    const std::vector<uint8_t> d = Block(*BankData(3));
    CEfControl* bankB = Control("BtnSampleBankB");
    std::unique_ptr<QMimeData> data = page->OnEfControlBeginDrag(bankB, {});

    // Dropped on the same button: nothing.
    CEfDragInfo self = Drag(data.get(), Qt::NoModifier, bankB);
    EXPECT_EQ(page->OnEfControlDragOver(bankB, self), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDrop(bankB, self), EfDropEffect::kNone);
    EXPECT_FALSE(host->IsModified());

    // From another window (no source control here): a copy, the source untouched.
    CEfDragInfo foreign = Drag(data.get(), Qt::NoModifier, nullptr);
    EXPECT_EQ(page->OnEfControlDrop(Control("BtnSampleBankD"), foreign), EfDropEffect::kCopy);
    EXPECT_EQ(Block(*BankData(3)), b);
    EXPECT_EQ(Block(*BankData(1)), b);
    EXPECT_NE(Block(*BankData(3)), d);
    EXPECT_EQ(host->GetBank(), 3);
}

TEST_F(SampleFileDrop, AWavDroppedOnDImportsIntoDAndSelectsD) {
    CEfControl* bankD = Control("BtnSampleBankD");
    const CEfDragInfo info =
        FilesDrag({kFixtures + "notes.txt", kFixtures + "wav_s16_stereo_48k.wav"});
    EXPECT_EQ(page->OnEfControlDragOver(bankD, info), EfDropEffect::kCopy);
    EXPECT_EQ(page->OnEfControlDrop(bankD, info), EfDropEffect::kCopy);
    // Imported from the page's own message, after the drop has ended.
    EXPECT_EQ(BankData(3)->GetLoadedFrames(), 0);
    ProcessEvents();
    EXPECT_EQ(BankData(3)->GetLoadedFrames(), 12000);
    EXPECT_EQ(host->GetBank(), 3);
    EXPECT_EQ(bankD->Value(), 1);
    EXPECT_EQ(Control("BtnSampleBankA")->Value(), 0);
    EXPECT_TRUE(host->IsModified());
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
    auto* graph = page->FindControlAs<CTarnControlWaveGraph>("WaveGraph");
    EXPECT_EQ(graph->Sample(), BankData(3));
    EXPECT_FALSE(graph->LaneColumns(0).empty());
}

TEST_F(SampleFileDrop, AFileDroppedOnThePageGoesToTheCurrentBank) {
    page->SelectBank(1);
    const CEfDragInfo info = FilesDrag({kFixtures + "aiff_s16_stereo_48k.aif"});
    // Over a control that takes no files the page answers for itself.
    EXPECT_EQ(page->OnEfControlDragOver(Control("WaveGraph"), info), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDragOver(nullptr, info), EfDropEffect::kCopy);
    EXPECT_EQ(page->OnEfControlDrop(nullptr, info), EfDropEffect::kCopy);
    ProcessEvents();
    EXPECT_GT(BankData(1)->GetLoadedFrames(), 0);
    EXPECT_EQ(host->GetBank(), 1);
    // Editor data files are the window's business, not the page's.
    EXPECT_EQ(page->OnEfControlDragOver(nullptr, FilesDrag({dir.File("set.t2a")})),
              EfDropEffect::kNone);
}

TEST_F(SampleFileDrop, ABadFileIsReportedAndLeavesTheBankAsItWas) {
    Fill(*BankData(2), 900, 11, 22);
    const std::vector<uint8_t> before = Block(*BankData(2));
    EXPECT_EQ(page->OnEfControlDrop(Control("BtnSampleBankC"),
                                    FilesDrag({kFixtures + "wav_s16_mono_4k.wav"})),
              EfDropEffect::kCopy);
    ProcessEvents();
    // The message, and what the file is on a second line.
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{"Supported sampling rates: 48KH, 44.1KHz\n"
                                                     "PCM, 16-bit, 4000 Hz, 1 channel"});
    EXPECT_EQ(Block(*BankData(2)), before);
    EXPECT_FALSE(host->IsModified());
    EXPECT_EQ(host->GetBank(), 0);
    EXPECT_FALSE(host->IsBusy());
}

TEST_F(SampleFileDrop, ADropWhileAFileOperationRunsIsIgnored) {
    const CEfDragInfo info = FilesDrag({kFixtures + "wav_s16_stereo_48k.wav"});
    host->SetBusy(true);
    EXPECT_EQ(page->OnEfControlDragOver(Control("BtnSampleBankB"), info), EfDropEffect::kNone);
    EXPECT_EQ(page->OnEfControlDrop(Control("BtnSampleBankB"), info), EfDropEffect::kNone);
    ProcessEvents();
    EXPECT_EQ(BankData(1)->GetLoadedFrames(), 0);
    host->SetBusy(false);

    // Taken, but an operation has started by the time its message arrives: dropped too, and the
    // next drop is taken again.
    EXPECT_EQ(page->OnEfControlDrop(Control("BtnSampleBankB"), info), EfDropEffect::kCopy);
    EXPECT_EQ(page->OnEfControlDrop(Control("BtnSampleBankC"), info), EfDropEffect::kNone);
    host->SetBusy(true);
    ProcessEvents();
    host->SetBusy(false);
    EXPECT_EQ(BankData(1)->GetLoadedFrames(), 0);
    EXPECT_EQ(page->OnEfControlDrop(Control("BtnSampleBankB"), info), EfDropEffect::kCopy);
    ProcessEvents();
    EXPECT_GT(BankData(1)->GetLoadedFrames(), 0);
}

} // namespace
