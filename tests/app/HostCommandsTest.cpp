#include <filesystem>

#include "HostFixture.h"
#include "app/CTarnCommandId.h"
#include "app/CTarnDialogFlag.h"
#include "app/CTarnPreferencesData.h"
#include "data/CTarnAllData.h"
#include "files/CTarnAllDataIO.h"
#include "framework/CEfMessage.h"
#include "framework/CTarnMessageBox.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/CTarnVirtualInstrumentDevice.h"

namespace {

constexpr int kYes = 2;
constexpr int kNo = 3;
constexpr int kCancel = 0;
const char* const kTransmitQuestion =
    "This operation will overwrite all data on the TALVEX PRO+.\nContinue?";

using HostStartUp = HostFixture;
using HostTitle = HostFixture;
using HostFileCommands = HostFixture;
using HostOpenByPath = HostFixture;
using HostGuards = HostFixture;
using HostTransfers = HostFixture;
using HostPageState = HostFixture;

} // namespace

TEST_F(HostStartUp, StartsWithItsServicesAndInitialPageState) {
    EXPECT_EQ(CTarnHost::Get(), host.get());
    ASSERT_NE(host->GetAllData(), nullptr);
    EXPECT_NE(host->GetMidiManager(), nullptr);
    EXPECT_NE(host->GetAudioEngine(), nullptr);
    EXPECT_NE(host->GetMenuBar(), nullptr);
    EXPECT_EQ(host->GetPage(), 0);
    EXPECT_EQ(host->GetBank(), 0);
    EXPECT_EQ(host->GetGlobalTab(), 1);
    EXPECT_EQ(host->GetExtCtrlLayerKind(), 0);
    EXPECT_EQ(host->GetSelectedExtController(), 4);
    EXPECT_EQ(host->GetLastNormalX(), 50);
    EXPECT_EQ(host->GetLastNormalY(), 50);
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
    EXPECT_FALSE(host->HasCompressedAudio());
}

TEST_F(HostStartUp, WritesTheLastNormalPositionAtShutDown) {
    host->SetLastNormalPosition(1220, 7);
    host->Terminate();
    ASSERT_TRUE(store.Open());
    EXPECT_EQ(store.ReadInteger("MainWindow-X", 0), 1220);
    EXPECT_EQ(store.ReadInteger("MainWindow-Y", 0), 7);
    EXPECT_EQ(host->GetMessageManager(), nullptr);
}

TEST_F(HostTitle, ShowsTheFileNameAndAStarWhileModified) {
    EXPECT_EQ(host->TitleText(), "Untitled - TALVEX PRO+ Editor");
    host->SetModified(true);
    EXPECT_EQ(host->TitleText(), "Untitled * - TALVEX PRO+ Editor");
    EXPECT_EQ(messages->types, std::vector<int32_t>{kMsgModifiedChanged});

    dialogs.Choose(dir.File("song.t2a"));
    ASSERT_TRUE(host->Save());
    EXPECT_EQ(host->TitleText(), "song.t2a - TALVEX PRO+ Editor");
    ASSERT_EQ(dialogs.AllShown().size(), 1u);
    EXPECT_EQ(dialogs.LastShown().kind, CHfcFileDialog::kSave);
}

TEST_F(HostFileCommands, SaveAfterAPredecessorFileAsksForAName) {
    const std::string t2a = WriteAllDataFile("set.t2a");
    const std::string txa = dir.File("old.txa");
    std::filesystem::copy_file(t2a, txa);

    dialogs.Choose(txa);
    ASSERT_TRUE(host->Open());
    EXPECT_EQ(host->TitleText(), "Untitled - TALVEX PRO+ Editor");

    // Ctrl+S: the save dialog, not a silent write over the old file.
    dialogs.Choose(dir.File("new.t2a"));
    ASSERT_TRUE(host->RunCommand(kCmdSave));
    ASSERT_EQ(dialogs.AllShown().size(), 2u);
    EXPECT_EQ(dialogs.LastShown().kind, CHfcFileDialog::kSave);
    EXPECT_TRUE(std::filesystem::exists(dir.File("new.t2a")));
    EXPECT_EQ(host->TitleText(), "new.t2a - TALVEX PRO+ Editor");
}

TEST_F(HostFileCommands, OpenOfAPredecessorFileForgetsTheFileOpenedBefore) {
    const std::string first = WriteAllDataFile("first.t2a");
    std::filesystem::copy_file(first, dir.File("old.txa"));
    ASSERT_TRUE(host->OpenPath(first));
    EXPECT_EQ(host->TitleText(), "first.t2a - TALVEX PRO+ Editor");
    const auto before = TempDir::ReadAll(first);

    ASSERT_TRUE(host->OpenPath(dir.File("old.txa")));
    EXPECT_EQ(host->TitleText(), "Untitled - TALVEX PRO+ Editor");
    dialogs.Cancel();
    EXPECT_FALSE(host->Save());
    EXPECT_EQ(dialogs.LastShown().kind, CHfcFileDialog::kSave);
    EXPECT_EQ(TempDir::ReadAll(first), before);
}

TEST_F(HostFileCommands, CancelOnCloseKeepsTheWindowAndTheChanges) {
    host->SetModified(true);
    alerts.answer = kCancel;
    EXPECT_FALSE(host->CloseRequested());
    EXPECT_FALSE(host->Exit());
    EXPECT_EQ(window.loopsEnded, 0);
    EXPECT_TRUE(host->IsModified());
    ASSERT_EQ(alerts.alerts.size(), 2u);
    EXPECT_EQ(alerts.alerts[0].text, "Save changes to Untitled ?");
    EXPECT_EQ(alerts.alerts[0].caption, "TALVEX PRO+ Editor");
    EXPECT_EQ(alerts.alerts[0].style, 141);
    EXPECT_FALSE(host->IsDialogShown());
}

TEST_F(HostFileCommands, ExitAnsweredNoEndsTheLoopWithoutSaving) {
    host->SetModified(true);
    alerts.answer = kNo;
    EXPECT_TRUE(host->Exit());
    EXPECT_EQ(window.loopsEnded, 1);
    EXPECT_TRUE(dialogs.AllShown().empty());
}

TEST_F(HostFileCommands, YesWhoseSaveIsCancelledStopsTheCommand) {
    host->SetModified(true);
    alerts.answer = kYes;
    dialogs.Cancel();
    EXPECT_FALSE(host->New());
    EXPECT_TRUE(host->IsModified());
    EXPECT_EQ(window.loopsEnded, 0);
}

TEST_F(HostFileCommands, NewResetsTheDataAndForgetsTheFile) {
    const std::string path = WriteAllDataFile("a.t2a");
    ASSERT_TRUE(host->OpenPath(path));
    host->GetAllData()->Global().SetParameter(ParamAddress(5), 0);
    alerts.answer = kNo;
    host->SetModified(true);
    messages->types.clear();
    ASSERT_TRUE(host->New());
    EXPECT_EQ(host->TitleText(), "Untitled - TALVEX PRO+ Editor");
    EXPECT_NE(host->GetAllData()->Global().GetParameter(ParamAddress(5)), 0);
    EXPECT_EQ(messages->types, (std::vector<int32_t>{kMsgModifiedChanged, kMsgRefreshAll}));
}

TEST_F(HostFileCommands, SaveAsAlwaysShowsTheDialog) {
    const std::string path = WriteAllDataFile("a.t2a");
    ASSERT_TRUE(host->OpenPath(path));
    dialogs.Choose(dir.File("b.t2a"));
    ASSERT_TRUE(host->RunCommand(kCmdSaveAs));
    EXPECT_EQ(dialogs.AllShown().size(), 1u);
    EXPECT_EQ(host->TitleText(), "b.t2a - TALVEX PRO+ Editor");
}

TEST_F(HostOpenByPath, EachExtensionGoesToItsPlace) {
    const std::string all = WriteAllDataFile("all.T2A");
    const std::string global = WriteGlobalFile("global.t2g");
    const std::string programs = WriteProgramFile("memories.t2p");
    const std::string wave = WriteWaveFile("loop.WAV");

    ASSERT_TRUE(host->OpenPath(all));
    EXPECT_FALSE(host->IsModified());
    EXPECT_EQ(host->GetPage(), 0);

    ASSERT_TRUE(host->OpenPath(global));
    EXPECT_TRUE(host->IsModified());
    EXPECT_EQ(host->GetPage(), 2);
    // Global and program files join the edited set: the all-data file stays the current one.
    EXPECT_EQ(host->TitleText(), "all.T2A * - TALVEX PRO+ Editor");

    ASSERT_TRUE(host->OpenPath(programs));
    EXPECT_EQ(host->GetPage(), 1);

    host->SetBank(2);
    ASSERT_TRUE(host->OpenPath(wave));
    EXPECT_EQ(host->GetPage(), 0);
    EXPECT_GT(host->GetAllData()->Bank(2)->GetNumSamples(), 0);
    EXPECT_EQ(host->GetAllData()->Bank(0)->GetNumSamples(), 0);
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(HostOpenByPath, RefusesWhatItCannotTake) {
    const std::string all = WriteAllDataFile("all.t2a");
    std::filesystem::copy_file(all, dir.File("song.mp3"));
    std::filesystem::copy_file(all, dir.File("notes.txt"));
    host->SetModified(true);
    messages->types.clear();

    // Without a decoder MP3 is not taken, whatever the file holds.
    EXPECT_FALSE(host->IsOpenableByPath("song.mp3"));
    EXPECT_FALSE(host->OpenPath(dir.File("song.mp3")));
    EXPECT_FALSE(host->OpenPath(dir.File("notes.txt")));
    EXPECT_FALSE(host->OpenPath(dir.File("missing.t2g")));
    EXPECT_FALSE(host->OpenPath(std::string(1024, 'a') + ".t2a"));
    EXPECT_FALSE(host->OpenPath(""));
    EXPECT_TRUE(host->IsModified());
    EXPECT_EQ(host->GetPage(), 0);
    EXPECT_TRUE(messages->types.empty());
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
}

TEST_F(HostOpenByPath, AnAllDataFileAsksToSaveFirst) {
    const std::string all = WriteAllDataFile("all.t2a");
    host->SetModified(true);
    alerts.answer = kCancel;
    EXPECT_FALSE(host->OpenPath(all));
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{"Save changes to Untitled ?"});
    EXPECT_EQ(host->TitleText(), "Untitled * - TALVEX PRO+ Editor");

    // A global file joins the set without the question.
    alerts.alerts.clear();
    EXPECT_TRUE(host->OpenPath(WriteGlobalFile("g.TXG")));
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(HostGuards, ASecondDialogIsRefused) {
    host->SetModified(true);
    {
        CTarnDialogFlag first(*host);
        ASSERT_TRUE(first.Acquire());
        EXPECT_TRUE(host->IsDialogShown());
        EXPECT_FALSE(host->New());
        EXPECT_FALSE(host->Open());
        EXPECT_FALSE(host->Exit());
        EXPECT_FALSE(host->TransmitAll());
        EXPECT_FALSE(host->OpenPath(WriteAllDataFile("x.t2a")));
        CTarnDialogFlag second(*host);
        EXPECT_FALSE(second.Acquire());
    }
    EXPECT_FALSE(host->IsDialogShown());
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_TRUE(dialogs.AllShown().empty());
    EXPECT_EQ(window.loopsEnded, 0);
    // Disabled once for the first guard, enabled again when it ended.
    EXPECT_EQ(window.inputStates, (std::vector<bool>{false, true}));
}

TEST_F(HostGuards, FileCommandsRefuseWhileBusy) {
    const std::string path = WriteAllDataFile("x.t2a");
    host->SetBusy(true);
    EXPECT_FALSE(host->New());
    EXPECT_FALSE(host->Open());
    EXPECT_FALSE(host->Save());
    EXPECT_FALSE(host->SaveAs());
    EXPECT_FALSE(host->OpenPath(path));
    EXPECT_FALSE(host->ReceiveAll());
    EXPECT_TRUE(dialogs.AllShown().empty());
    EXPECT_TRUE(host->IsBusy());
    host->SetBusy(false);
    EXPECT_TRUE(host->OpenPath(path));
    EXPECT_FALSE(host->IsBusy());
}

TEST_F(HostTransfers, ReceiveAllTakesTheInstrumentsData) {
    CTarnSimMemory memory = instrument->Instrument().Instrument().Memory();
    memory.programs[3][0] = 17;
    memory.global[20] ^= 0x01;
    instrument->Instrument().Instrument().SetMemory(memory);

    ASSERT_TRUE(host->RunCommand(kCmdReceiveAll));
    EXPECT_TRUE(alerts.alerts.empty()) << alerts.alerts[0].text;
    EXPECT_EQ(CTarnSimMemoryIo::FromAllData(*host->GetAllData()), memory);
    EXPECT_TRUE(host->IsModified());
    EXPECT_EQ(messages->types,
              (std::vector<int32_t>{kMsgStopPreview, kMsgModifiedChanged, kMsgRefreshAll}));
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
}

TEST_F(HostTransfers, TransmitAllAsksFirstWhenTheWarningIsOn) {
    host->GetAllData()->ProgramMemory(2)->SetParameter(ParamAddress(0), 99);
    const CTarnSimMemory before = instrument->Instrument().Instrument().Memory();

    alerts.answer = kNo;
    EXPECT_FALSE(host->TransmitAll());
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{kTransmitQuestion});
    EXPECT_EQ(alerts.alerts[0].style, CTarnMessageBox::kQuestionStyle);
    EXPECT_EQ(instrument->Instrument().Instrument().Memory(), before);

    alerts.alerts.clear();
    alerts.answer = kYes;
    ASSERT_TRUE(host->TransmitAll());
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{kTransmitQuestion});
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(instrument->Instrument().Instrument().Memory(),
              CTarnSimMemoryIo::FromAllData(*host->GetAllData()));
    EXPECT_FALSE(host->IsModified());
}

TEST_F(HostTransfers, TransmitAllWithoutTheWarningAsksNothing) {
    host->GetPreferences()->SetWarnBeforeTransmit(false);
    host->GetAllData()->ProgramMemory(5)->SetParameter(ParamAddress(0), 42);
    ASSERT_TRUE(host->RunCommand(kCmdTransmitAll));
    EXPECT_TRUE(alerts.alerts.empty());
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(instrument->Instrument().Instrument().Memory().programs[5][0], 42);
}

TEST_F(HostTransfers, TransmitAllWithTheSysExFilterOffWarnsOfIt) {
    host->GetPreferences()->SetWarnBeforeTransmit(false);
    host->GetAllData()->Global().SetParameter(ParamAddress(5), 0);
    const CTarnSimMemory before = instrument->Instrument().Instrument().Memory();

    alerts.answer = kNo;
    EXPECT_FALSE(host->TransmitAll());
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].text, CTarnMessageBox::Text(34));
    EXPECT_EQ(alerts.alerts[0].style, 140);
    EXPECT_EQ(instrument->Instrument().Instrument().Memory(), before);

    // With the warning on as well, both questions come in order.
    host->GetPreferences()->SetWarnBeforeTransmit(true);
    alerts.alerts.clear();
    alerts.answer = kYes;
    ASSERT_TRUE(host->TransmitAll());
    EXPECT_EQ(AlertTexts(),
              (std::vector<std::string>{kTransmitQuestion, CTarnMessageBox::Text(34)}));
}

TEST_F(HostTransfers, PreferencesOkWithAutomaticDetectionFindsThePorts) {
    window.editForm = [](CTarnMidiPreferencesForm& form) {
        form.warnBeforeTransmit = false;
        form.autoDetect = true;
    };
    ASSERT_TRUE(host->Preferences());
    EXPECT_FALSE(host->GetPreferences()->GetWarnBeforeTransmit());
    EXPECT_EQ(host->GetPreferences()->GetDetectedMidiInName(),
              CTarnVirtualInstrumentDevice::kDefaultName);
    EXPECT_EQ(host->GetPreferences()->GetDetectedMidiOutName(),
              CTarnVirtualInstrumentDevice::kDefaultName);

    // Cancel stores nothing.
    window.preferencesOk = false;
    window.editForm = [](CTarnMidiPreferencesForm& form) { form.warnBeforeTransmit = true; };
    EXPECT_FALSE(host->Preferences());
    EXPECT_FALSE(host->GetPreferences()->GetWarnBeforeTransmit());
    EXPECT_EQ(window.preferencesShown, 2);
}

TEST_F(HostPageState, PagesAskEveryListenerThenTellThem) {
    RecordingListener sampleLibrarian(0);
    RecordingListener programMemory(1);
    host->AddListener(&sampleLibrarian);
    host->AddListener(&programMemory);

    ASSERT_TRUE(host->SetPage(1));
    EXPECT_EQ(host->GetPage(), 1);
    EXPECT_EQ(sampleLibrarian.events, std::vector<std::string>{"page 1"});

    programMemory.allowPageChange = false;
    EXPECT_FALSE(host->SetPage(0));
    EXPECT_EQ(host->GetPage(), 1);
    EXPECT_FALSE(host->SetPage(3));
    EXPECT_FALSE(host->SetGlobalTab(3));
    EXPECT_FALSE(host->SetExtCtrlLayerKind(4));
    EXPECT_TRUE(host->SetGlobalTab(2));
    EXPECT_EQ(host->GetGlobalTab(), 2);

    // Edit commands go to the page shown.
    host->Copy();
    host->Paste();
    EXPECT_EQ(programMemory.events, (std::vector<std::string>{"page 1", "copy", "paste"}));
    host->RemoveListener(&sampleLibrarian);
    host->RemoveListener(&programMemory);
}

TEST_F(HostPageState, EditMenuFollowsTheViewAndTheClipboard) {
    auto has = [](const std::string& format) { return format == "ProgramMemory"; };
    host->UpdateEditMenu(has);
    CEfMenuBar& menu = *host->GetMenuBar();
    EXPECT_TRUE(menu.IsCommandEnabled(kCmdCut));
    EXPECT_FALSE(menu.IsCommandEnabled(kCmdPaste));

    ASSERT_TRUE(host->SetPage(1));
    host->UpdateEditMenu(has);
    EXPECT_TRUE(menu.IsCommandEnabled(kCmdPaste));

    ASSERT_TRUE(host->SetPage(2));
    ASSERT_TRUE(host->SetExtCtrlLayerKind(2));
    host->UpdateEditMenu(has);
    for (int command : {kCmdCut, kCmdCopy, kCmdPaste, kCmdClear}) {
        EXPECT_FALSE(menu.IsCommandEnabled(command)) << command;
    }
    ASSERT_TRUE(host->SetExtCtrlLayerKind(1));
    EXPECT_EQ(host->GetEditMenuState().pasteFormat, "ExtCtrlData");
    ASSERT_TRUE(host->SetGlobalTab(0));
    EXPECT_FALSE(host->GetEditMenuState().cutCopyClear);
}

TEST_F(HostPageState, AboutAsksTheWindow) {
    ASSERT_TRUE(host->RunCommand(kCmdAbout));
    EXPECT_EQ(window.aboutShown, 1);
    EXPECT_FALSE(host->RunCommand(12345));
}
