// The page's four header commands: loading and saving program memory files, receiving and
// transmitting the eight memories through the virtual instrument, with their guards and question.
#include <string>
#include <vector>

#include "PageFixture.h"
#include "app/CTarnPreferencesData.h"
#include "data/CTarnProgramMemoryData.h"
#include "data/CTarnProgramMemorySet.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "framework/CTarnMessageBox.h"
#include "sim/CTarnSimFault.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/CTarnVirtualInstrument.h"
#include "sim/CTarnVirtualInstrumentDevice.h"

namespace {

using P = CTarnProgramMemoryData;
constexpr int kYes = 2;
constexpr int kNo = 3;

std::array<Image, 8> ProgramsOf(const CTarnSimMemory& memory) {
    std::array<Image, 8> images{};
    for (int i = 0; i < 8; ++i) {
        std::copy(memory.programs[static_cast<size_t>(i)].begin(),
                  memory.programs[static_cast<size_t>(i)].end(),
                  images[static_cast<size_t>(i)].begin());
    }
    return images;
}

} // namespace

class ProgramMemoryCommands : public PageFixture {
protected:
    // A program memory file whose memory 2 holds program 200 and scale 33.
    std::string WriteProgramFile(const std::string& name) {
        CTarnProgramMemorySet set;
        set.Memory(1)->SetParameter(ParamAddress(P::kParamProgram), 200);
        set.Memory(1)->SetParameter(ParamAddress(P::kParamScale), 33);
        const std::string path = dir.File(name);
        CTarnProgramMemoryDataIO io;
        EXPECT_EQ(io.SavePath(set, path), CEfFileIO::kSucceeded);
        return path;
    }
    CTarnSimMemory InstrumentMemory() { return instrument->Instrument().Instrument().Memory(); }
};

TEST_F(ProgramMemoryCommands, LoadReadsTheFileAndMarksTheDataModified) {
    dialogs.Choose(WriteProgramFile("p.t2p"));
    ClickOn(Control("BtnLoad"));
    EXPECT_EQ(Memory(1).GetParameter(ParamAddress(P::kParamProgram)), 200);
    EXPECT_EQ(NameShown(1), "[P.200]  " + *resolver.GetString("ProgramName", 200));
    EXPECT_EQ(Control("Scale2")->Text(), *resolver.GetString("ScaleList", 33));
    EXPECT_TRUE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
    EXPECT_EQ(dialogs.LastShown().title, "Load TALVEX PRO+ Program Memory Data File");
}

TEST_F(ProgramMemoryCommands, AFailedLoadLeavesTheDataAndTheModifiedFlag) {
    const std::string path = WriteProgramFile("broken.t2p");
    std::vector<uint8_t> bytes = TempDir::ReadAll(path);
    // A byte inside memory 2's chunk: its checksum no longer matches.
    bytes[512 + 1024 + 16 + 7] ^= 0x5a;
    TempDir::WriteAll(path, bytes);
    const auto before = Images();

    for (bool modified : {false, true}) {
        host->SetModified(modified);
        alerts.alerts.clear();
        dialogs.Choose(path);
        EXPECT_FALSE(page->LoadFile());
        EXPECT_EQ(Images(), before);
        EXPECT_EQ(host->IsModified(), modified);
        EXPECT_EQ(alerts.alerts.size(), 1u);
        EXPECT_FALSE(host->IsBusy());
        EXPECT_FALSE(host->IsDialogShown());
    }

    // A cancelled dialog changes nothing either.
    host->SetModified(false);
    dialogs.Cancel();
    EXPECT_FALSE(page->LoadFile());
    EXPECT_EQ(Images(), before);
    EXPECT_FALSE(host->IsModified());
}

TEST_F(ProgramMemoryCommands, SaveAlwaysAsksForANameAndWritesTheEight) {
    Memory(6).SetParameter(ParamAddress(P::kParamNoteRange), 4);
    const std::string path = dir.File("saved.t2p");
    dialogs.Choose(path);
    ClickOn(Control("BtnSave"));
    ASSERT_EQ(dialogs.AllShown().size(), 1u);
    EXPECT_EQ(dialogs.LastShown().title, "Save TALVEX PRO+ Program Memory Data File");
    CTarnProgramMemorySet loaded;
    CTarnProgramMemoryDataIO io;
    ASSERT_EQ(io.OpenPath(loaded, path), CEfFileIO::kSucceeded);
    EXPECT_EQ(loaded.Memory(6)->GetParameter(ParamAddress(P::kParamNoteRange)), 4);
    // Saving the program memories is not a save of the whole data set.
    EXPECT_FALSE(host->IsBusy());
}

TEST_F(ProgramMemoryCommands, FileCommandsRefuseWhileBusyOrWhileADialogIsUp) {
    dialogs.Choose(WriteProgramFile("p.t2p"));
    host->SetBusy(true);
    EXPECT_FALSE(page->LoadFile());
    EXPECT_FALSE(page->SaveFile());
    EXPECT_FALSE(page->Receive());
    EXPECT_FALSE(page->Transmit());
    EXPECT_TRUE(dialogs.AllShown().empty());
    EXPECT_TRUE(host->IsBusy());
    host->SetBusy(false);

    ASSERT_TRUE(host->AcquireDialogFlag());
    ClickOn(Control("BtnLoad"));
    ClickOn(Control("BtnReceive"));
    ClickOn(Control("BtnTransmit"));
    EXPECT_TRUE(dialogs.AllShown().empty());
    EXPECT_TRUE(alerts.alerts.empty());
    host->ReleaseDialogFlag();
    EXPECT_FALSE(host->IsModified());
}

TEST_F(ProgramMemoryCommands, ReceiveTakesTheInstrumentsEightMemories) {
    CTarnSimMemory memory = InstrumentMemory();
    memory.programs[3][0] = 17;
    memory.programs[5][7] = 30;
    memory.programs[7][20] = 0xa5; // a byte the editor never interprets
    instrument->Instrument().Instrument().SetMemory(memory);
    const CTarnSimMemory global = memory;

    ClickOn(Control("BtnReceive"));
    EXPECT_TRUE(alerts.alerts.empty()) << alerts.alerts[0].text;
    EXPECT_EQ(Images(), ProgramsOf(memory));
    EXPECT_EQ(NameShown(3), "[L.017]  " + *resolver.GetString("ProgramName", 17));
    EXPECT_EQ(Control("Scale6")->Text(), *resolver.GetString("ScaleList", 30));
    EXPECT_TRUE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
    EXPECT_EQ(InstrumentMemory(), global);
}

TEST_F(ProgramMemoryCommands, AFailedReceiveLeavesTheDataAndTheModifiedFlag) {
    CTarnSimMemory memory = InstrumentMemory();
    memory.programs[0][0] = 99;
    memory.programs[6][0] = 98;
    instrument->Instrument().Instrument().SetMemory(memory);
    // The seventh memory's request is answered with an error.
    instrument->Instrument().Instrument().ArmFault(
        {CTarnSimFault::kErrorReply, CTarnSimStage::kProgramRequest, 6});
    const auto before = Images();

    EXPECT_FALSE(page->Receive());
    EXPECT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(Images(), before);
    EXPECT_EQ(NameShown(0), "[L.000]  Pulse Verb");
    EXPECT_FALSE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());
}

TEST_F(ProgramMemoryCommands, TransmitAsksFirstWhenTheWarningIsOn) {
    ASSERT_TRUE(host->GetPreferences()->GetWarnBeforeTransmit());
    Memory(2).SetParameter(ParamAddress(P::kParamProgram), 77);
    const CTarnSimMemory before = InstrumentMemory();

    alerts.answer = kNo;
    ClickOn(Control("BtnTransmit"));
    ASSERT_EQ(AlertTexts(), std::vector<std::string>{CTarnMessageBox::Text(30)});
    EXPECT_EQ(alerts.alerts[0].style, 140);
    EXPECT_EQ(std::string(CTarnMessageBox::Text(30)),
              "This operation will overwrite the Program Memory Data on the TALVEX PRO+."
              "\nContinue?");
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(InstrumentMemory(), before);

    alerts.alerts.clear();
    alerts.answer = kYes;
    ClickOn(Control("BtnTransmit"));
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{CTarnMessageBox::Text(30)});
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(ProgramsOf(InstrumentMemory()), Images());
    // Only the program memories travel.
    EXPECT_EQ(InstrumentMemory().global, before.global);
    EXPECT_FALSE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
}

TEST_F(ProgramMemoryCommands, TransmitWithoutTheWarningSendsWithoutAQuestion) {
    host->GetPreferences()->SetWarnBeforeTransmit(false);
    Memory(5).SetParameter(ParamAddress(P::kParamProgram), 42);
    Memory(5).SetParameter(ParamAddress(P::kParamKey), 0);
    EXPECT_TRUE(page->Transmit());
    EXPECT_TRUE(alerts.alerts.empty());
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(ProgramsOf(InstrumentMemory()), Images());
    EXPECT_EQ(InstrumentMemory().programs[5][0], 42);
    EXPECT_EQ(InstrumentMemory().programs[5][8], 48);
}
