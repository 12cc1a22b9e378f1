// The Global header's commands (load, save, receive, transmit with their questions) and the page
// writing the same bytes as the command-line tool.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "GlobalPageFixture.h"
#include "app/CTarnPreferencesData.h"
#include "data/CTarnGlobalData.h"
#include "files/CTarnGlobalDataIO.h"
#include "framework/CEfFileIO.h"
#include "framework/CTarnMessageBox.h"
#include "sim/CTarnVirtualInstrument.h"
#include "sim/CTarnVirtualInstrumentDevice.h"
#include "ui/pages/global/CTarnExtCtrlContainer.h"
#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"
#include "ui/pages/global/CTarnGlobalContainer.h"
#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"
#include "ui/pages/global/CTarnGlobalLayer.h"

namespace {

using GlobalCommands = GlobalPageFixture;
using GlobalSharedTruth = GlobalPageFixture;

constexpr int kYes = 2;
constexpr int kNo = 3;

std::vector<uint8_t> Image(const CTarnGlobalData& global) {
    return {global.GetNativeData(), global.GetNativeData() + CTarnGlobalData::kImageSize};
}

} // namespace

TEST_F(GlobalCommands, TransmitAsksThirtyOneThenThirtyFourWhenTheFilterIsOff) {
    CTarnGlobalLayer& header = *Page().Header();
    ASSERT_TRUE(host->GetPreferences()->GetWarnBeforeTransmit());
    Global().SetParameter(ParamAddress(CTarnGlobalData::kParamFilterSysEx), 0);

    alerts.answer = kNo;
    EXPECT_FALSE(header.Transmit());
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].text, CTarnMessageBox::Text(31));
    EXPECT_EQ(alerts.alerts[0].style, CTarnMessageBox::kQuestionStyle);

    alerts.alerts.clear();
    alerts.answer = kYes;
    EXPECT_TRUE(header.Transmit());
    ASSERT_EQ(alerts.alerts.size(), 2u);
    EXPECT_EQ(alerts.alerts[0].text, CTarnMessageBox::Text(31));
    EXPECT_EQ(alerts.alerts[1].text, CTarnMessageBox::Text(34));
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(instrument->Instrument().Instrument().Memory().global[0x10] & 0x10, 0);
    EXPECT_FALSE(host->IsBusy());
    EXPECT_FALSE(host->IsDialogShown());
}

TEST_F(GlobalCommands, FilterOffAsksEvenWithTheWarningOff) {
    CTarnGlobalLayer& header = *Page().Header();
    host->GetPreferences()->SetWarnBeforeTransmit(false);
    Global().SetParameter(ParamAddress(CTarnGlobalData::kParamFilterSysEx), 0);
    Global().SetParameter(ParamAddress(CTarnGlobalData::kParamIllumination), 5);
    alerts.answer = kNo;
    EXPECT_FALSE(header.Transmit());
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].text, CTarnMessageBox::Text(34));
    instrument->Instrument().WaitIdle();
    EXPECT_EQ(instrument->Instrument().Instrument().Memory().global[1], 10);

    // Filter on and no warning: sent without a question.
    alerts.alerts.clear();
    Global().SetParameter(ParamAddress(CTarnGlobalData::kParamFilterSysEx), 1);
    EXPECT_TRUE(header.Transmit());
    EXPECT_TRUE(alerts.alerts.empty());
    instrument->Instrument().WaitIdle();
    const auto sent = instrument->Instrument().Instrument().Memory().global;
    EXPECT_EQ(std::vector<uint8_t>(sent.begin(), sent.end()), Image(Global()));
}

TEST_F(GlobalCommands, ReceiveReplacesTheDataMarksItModifiedAndRefreshes) {
    CTarnSimMemory memory = instrument->Instrument().Instrument().Memory();
    CTarnGlobalData theirs;
    theirs.SetParameter(ParamAddress(CTarnGlobalData::kParamIllumination), 2);
    theirs.SetParameter(ParamAddress(CTarnGlobalData::kParamCcMapFirst + 4, 5), 77);
    std::copy(theirs.GetNativeData(), theirs.GetNativeData() + 256, memory.global.begin());
    instrument->Instrument().Instrument().SetMemory(memory);

    auto& tab = ShowTab(2);
    ASSERT_FALSE(host->IsModified());
    EXPECT_TRUE(Page().Header()->Receive());
    EXPECT_EQ(Image(Global()), Image(theirs));
    EXPECT_TRUE(host->IsModified());
    ProcessEvents();
    EXPECT_EQ(Control(tab, "P.PadX").Value(), 77);
    EXPECT_EQ(window->windowTitle(), "Untitled * - TALVEX PRO+ Editor");
}

TEST_F(GlobalCommands, FailedReceiveLeavesTheDataAlone) {
    instrument->Instrument().Instrument().ArmFault(
        {CTarnSimFault::kErrorReply, CTarnSimStage::kGlobalRequest, 0});
    Global().SetParameter(ParamAddress(CTarnGlobalData::kParamClock), 2);
    const auto before = Image(Global());
    EXPECT_FALSE(Page().Header()->Receive());
    EXPECT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(Image(Global()), before);
    EXPECT_FALSE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());
}

TEST_F(GlobalCommands, SaveAndLoadThroughTheFileDialogs) {
    CTarnGlobalLayer& header = *Page().Header();
    Global().SetParameter(ParamAddress(CTarnGlobalData::kParamClock), 2);
    const std::string path = dir.File("settings.t2g");
    dialogs.Choose(path);
    EXPECT_TRUE(header.Save());
    EXPECT_FALSE(host->IsModified());
    Global().Initialize();

    dialogs.Cancel();
    EXPECT_FALSE(header.Load());
    EXPECT_FALSE(host->IsModified());
    EXPECT_EQ(Global().GetParameter(ParamAddress(CTarnGlobalData::kParamClock)), 0);

    dialogs.Choose(path);
    EXPECT_TRUE(header.Load());
    EXPECT_EQ(Global().GetParameter(ParamAddress(CTarnGlobalData::kParamClock)), 2);
    EXPECT_TRUE(host->IsModified());
    EXPECT_FALSE(host->IsBusy());

    // A command while the busy flag is held does nothing.
    ASSERT_TRUE(host->TryBeginBusy());
    dialogs.Choose(path);
    EXPECT_FALSE(header.Load());
    EXPECT_EQ(dialogs.PendingAnswers(), 1u);
    host->SetBusy(false);
}

TEST_F(GlobalSharedTruth, PageEditsWriteTheSameBytesAsTheCommandLineTool) {
    // Through the page.
    auto& global = ShowTab(0);
    Change(global, "P.LedSetting", 3);
    Change(global, "P.Clock", 1);
    Change(global, "P.FltNote", 0);
    Change(global, "P.GlMidiCh", 4);
    auto& ccmap = ShowTab(2);
    Change(ccmap, "P.Sw.PadX", 0);
    Change(ccmap, "P.GateArp", 17);
    CTarnGlobalExtCtrlLayer& list = List();
    Click(list, "A.BankA");
    Change(ParamLayer(), "P.AssignType", 0);
    Change(ParamLayer(), "P.NoteNumber", 36);
    Change(ParamLayer(), "P.MidiCh", 2);
    Click(list, "A.ProgVol");
    Change(ParamLayer(), "P.MinValue", 10);
    Click(list, "A.PadNote");
    Change(ParamLayer(), "P.ProgLeft", 40);
    Change(list, "P.PadPattern", 2);

    // Through the command-line tool, on the factory file.
    const std::string path = dir.File("cli.t2g");
    const std::string cli = TALVEX_CLI_PATH;
    ASSERT_EQ(std::system((cli + " new --type global '" + path + "' >/dev/null").c_str()), 0);
    const std::string set =
        cli + " set '" + path +
        "' global.illumination=3 midi.clock=1 midi.filter.note=0 midi.channel=5"
        " ccmap.pad_x.enable=0 ccmap.gate_arp_onoff.cc=17 extctrl.bank_a.message=0"
        " extctrl.bank_a.number=36 extctrl.bank_a.channel=3 extctrl.program_volume.min=10"
        " extctrl.pad_note.left_prog=40 extctrl.pad_pattern=2 >/dev/null 2>&1";
    ASSERT_EQ(std::system(set.c_str()), 0) << set;
    CTarnGlobalData fromCli;
    ASSERT_EQ(CTarnGlobalDataIO().OpenPath(fromCli, path), CEfFileIO::kSucceeded);
    EXPECT_EQ(Image(Global()), Image(fromCli));
}
