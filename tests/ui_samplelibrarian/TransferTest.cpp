// The Sample Librarian's header commands: receive and write of the selected bank through the
// virtual instrument (with the question before writing and a failure that leaves the bank as it
// was), import through the file dialog, the three exporters and Normalize from the wave menu.
#include <QTest>
#include <filesystem>

#include "SampleLibrarianFixture.h"
#include "app/CTarnPreferencesData.h"
#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "framework/CTarnMessageBox.h"
#include "sim/CTarnSimFault.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/CTarnVirtualInstrument.h"
#include "sim/CTarnVirtualInstrumentDevice.h"

namespace {

using SampleTransfers = SampleLibrarianFixture;
using SampleFiles = SampleLibrarianFixture;

const std::string kFixtures = TALVEX_FIXTURES_DIR "/audio/";
const char* const kWriteQuestion =
    "This operation will overwrite the Loop Recorder Data on the TALVEX PRO+.\nContinue?";

// Header bytes 10, 11 and 13 carry the frames loaded before sending; a bank that has been read
// back holds its whole phrase, so they are left out of the comparisons.
void ForgetLoadedFrames(std::vector<uint8_t>& image) {
    image[10] = image[11] = image[13] = 0;
}

std::vector<uint8_t> NativeImage(const CTarnSampleData& bank) {
    std::vector<uint8_t> image(16 + static_cast<size_t>(bank.GetNativeDataSize()));
    bank.GetNativeHeader(image.data());
    EXPECT_TRUE(bank.GetNativeData(image.data() + 16, bank.GetNativeDataSize()));
    ForgetLoadedFrames(image);
    return image;
}

std::vector<uint8_t> SimImage(const CTarnSimBank& bank) {
    std::vector<uint8_t> image(bank.header.begin(), bank.header.end());
    image.insert(image.end(), bank.data.begin(), bank.data.end());
    ForgetLoadedFrames(image);
    return image;
}

TEST_F(SampleTransfers, ReceiveTakesTheSelectedBankFromTheInstrument) {
    // The instrument holds a bank C of its own.
    Fill(*BankData(2), 6000, 4000, -4000, 96.0);
    CTarnSimMemory memory = CTarnSimMemoryIo::FromAllData(*host->GetAllData());
    const std::vector<uint8_t> expected = SimImage(memory.banks[2]);
    Instrument().SetMemory(memory);
    BankData(2)->Initialize();

    page->SelectBank(2);
    ASSERT_TRUE(page->StartPreview());
    QTest::mouseClick(Control("BtnWaveReceive"), Qt::LeftButton);
    EXPECT_TRUE(alerts.alerts.empty()) << alerts.alerts[0].text;
    EXPECT_EQ(NativeImage(*BankData(2)), expected);
    EXPECT_EQ(Control("SampleTempo")->Text(), "96.0");
    EXPECT_TRUE(host->IsModified());
    // Preview stops before any transfer.
    EXPECT_FALSE(page->IsPreviewing());
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
    // Only bank C was asked for.
    EXPECT_EQ(BankData(0)->GetLoadedFrames(), 0);
}

TEST_F(SampleTransfers, AFailedReceiveLeavesTheBankAndMarksNothing) {
    Fill(*BankData(1), 2000, 10, 20);
    const std::vector<uint8_t> before = Block(*BankData(1));
    Fill(*BankData(0), 3000, 1, 2);
    Instrument().SetMemory(CTarnSimMemoryIo::FromAllData(*host->GetAllData()));
    page->SelectBank(1);
    Instrument().ArmFault(
        {CTarnSimFault::kSampleDataHalfway, CTarnSimStage::kSampleDataRequest, 0});
    EXPECT_FALSE(page->Receive());
    EXPECT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(Block(*BankData(1)), before);
    EXPECT_FALSE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
}

TEST_F(SampleTransfers, WriteAsksFirstAndSendsTheSelectedBank) {
    Fill(*BankData(3), 5000, 700, -700, 150.0);
    page->SelectBank(3);
    host->SetModified(false);
    const CTarnSimMemory before = Instrument().Memory();

    alerts.answer = kNo;
    EXPECT_FALSE(page->Write());
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{kWriteQuestion});
    EXPECT_EQ(alerts.alerts[0].style, CTarnMessageBox::kQuestionStyle);
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(Instrument().Memory(), before);

    alerts.alerts.clear();
    alerts.answer = kYes;
    QTest::mouseClick(Control("BtnWaveTransmit"), Qt::LeftButton);
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{kWriteQuestion});
    instrument->Instrument().WaitIdle();
    const CTarnSimMemory after = Instrument().Memory();
    EXPECT_EQ(SimImage(after.banks[3]), NativeImage(*BankData(3)));
    EXPECT_EQ(after.banks[0], before.banks[0]);
    EXPECT_FALSE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());
}

TEST_F(SampleTransfers, WriteWithoutTheWarningAsksNothing) {
    host->GetPreferences()->SetWarnBeforeTransmit(false);
    Fill(*BankData(0), 2500, 1234, 4321);
    ASSERT_TRUE(page->Write());
    EXPECT_TRUE(alerts.alerts.empty());
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(SimImage(Instrument().Memory().banks[0]), NativeImage(*BankData(0)));
}

TEST_F(SampleTransfers, AFailedWriteIsReported) {
    host->GetPreferences()->SetWarnBeforeTransmit(false);
    Fill(*BankData(0), 2500, 1234, 4321);
    Instrument().ArmFault({CTarnSimFault::kBusyRecording, CTarnSimStage::kAnyDump, 0});
    EXPECT_FALSE(page->Write());
    EXPECT_EQ(AlertTexts(),
              std::vector<std::string>{"Cannot communicate while the TALVEX PRO+ is recording."});
    EXPECT_FALSE(host->IsBusy());
}

TEST_F(SampleFiles, ImportThroughTheDialogFillsTheSelectedBank) {
    page->SelectBank(1);
    dialogs.Choose(kFixtures + "wav_s16_stereo_48k.wav");
    QTest::mouseClick(Control("BtnWaveImport"), Qt::LeftButton);
    EXPECT_EQ(dialogs.LastShown().title, "Import");
    EXPECT_EQ(BankData(1)->GetLoadedFrames(), 12000);
    EXPECT_TRUE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());

    // Cancelled: nothing.
    host->SetModified(false);
    dialogs.Cancel();
    EXPECT_FALSE(page->Import());
    EXPECT_FALSE(host->IsModified());
}

TEST_F(SampleFiles, TheExportMenuOffersTheThreeExporters) {
    Fill(*BankData(0), 4000, 900, 900);
    std::vector<std::string> offered;
    int choice = 1;
    page->SetMenuChooser([&](const std::vector<std::string>& texts, QPoint) {
        offered = texts;
        return choice;
    });
    dialogs.Choose(dir.File("loop.wav"));
    QTest::mouseClick(Control("BtnWaveExport"), Qt::LeftButton);
    EXPECT_EQ(offered, (std::vector<std::string>{"Export to TALVEX PRO+ Loop Recorder Data File",
                                                 "Export to WAVE File", "Export to AIFF File"}));
    EXPECT_EQ(dialogs.LastShown().title, "Export to Wave");
    EXPECT_TRUE(std::filesystem::exists(dir.File("loop.wav")));

    choice = 2;
    dialogs.Choose(dir.File("loop.aif"));
    QTest::mouseClick(Control("BtnWaveExport"), Qt::LeftButton);
    EXPECT_EQ(dialogs.LastShown().title, "Export to AIFF");
    EXPECT_TRUE(std::filesystem::exists(dir.File("loop.aif")));

    choice = 0;
    dialogs.Choose(dir.File("loop.t2s"));
    QTest::mouseClick(Control("BtnWaveExport"), Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(dir.File("loop.t2s")));

    // Dismissed: no dialog at all.
    choice = -1;
    const size_t shown = dialogs.AllShown().size();
    QTest::mouseClick(Control("BtnWaveExport"), Qt::LeftButton);
    EXPECT_EQ(dialogs.AllShown().size(), shown);
    // Exports mark nothing.
    EXPECT_FALSE(host->IsModified());

    // The sample file reads back into another bank as it was written.
    page->SelectBank(2);
    ASSERT_TRUE(page->ImportFile(dir.File("loop.t2s"), 2));
    EXPECT_EQ(NativeImage(*BankData(2)), NativeImage(*BankData(0)));
}

TEST_F(SampleFiles, NormalizeFromTheWaveMenu) {
    Fill(*BankData(0), 1000, 16384, -8192);
    page->SelectBank(0);
    std::vector<std::string> offered;
    page->SetMenuChooser([&](const std::vector<std::string>& texts, QPoint) {
        offered = texts;
        return 0;
    });
    QTest::mouseClick(Control("WaveGraph"), Qt::LeftButton);
    EXPECT_EQ(offered, std::vector<std::string>{"Normalize"});
    EXPECT_EQ(BankData(0)->GetSample(0, 0), 32767);
    EXPECT_EQ(BankData(0)->GetSample(0, 1), -16383);
    EXPECT_TRUE(host->IsModified());

    // A silent bank stays as it is and marks nothing.
    host->SetModified(false);
    page->SelectBank(1);
    QTest::mouseClick(Control("WaveGraph"), Qt::LeftButton);
    EXPECT_FALSE(host->IsModified());
}

} // namespace
