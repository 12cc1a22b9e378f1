// The Global page's container, header, Global tab and CC Map tab.
#include "GlobalPageFixture.h"
#include "data/CTarnGlobalData.h"
#include "framework/CEfMessage.h"
#include "ui/framework/CEfControlValueParameter.h"
#include "ui/pages/global/CTarnGlobalCCMapLayer.h"
#include "ui/pages/global/CTarnGlobalContainer.h"
#include "ui/pages/global/CTarnGlobalGlobalLayer.h"
#include "ui/pages/global/CTarnGlobalLayer.h"

namespace {

using GlobalContainer = GlobalPageFixture;
using GlobalTab = GlobalPageFixture;
using CcMapTab = GlobalPageFixture;

int Param(const CTarnGlobalData& global, int id, int sub = -1) {
    return global.GetParameter(ParamAddress(id, sub));
}

} // namespace

TEST_F(GlobalContainer, StartsOnTheHostsTabAndCreatesTabsOnFirstUse) {
    CTarnGlobalContainer& page = Page();
    EXPECT_EQ(page.ShownTab(), 1);
    EXPECT_EQ(page.Tab(0), nullptr);
    EXPECT_EQ(page.Tab(2), nullptr);
    EXPECT_EQ(page.Header()->geometry(), QRect(0, 0, 700, 81));
    EXPECT_EQ(page.Tab(1)->geometry(), QRect(0, 81, 700, 358));

    Click(*page.Header(), "PageGlblCCMap");
    EXPECT_EQ(host->GetGlobalTab(), 2);
    ASSERT_NE(page.Tab(2), nullptr);
    EXPECT_TRUE(page.Tab(2)->IsLayerVisible());
    EXPECT_FALSE(page.Tab(1)->IsLayerVisible());
    EXPECT_EQ(Control(*page.Header(), "PageGlblCCMap").Value(), 1);
    EXPECT_EQ(Control(*page.Header(), "PageGlblExtCtrl").Value(), 0);

    // The host's tab rules the page, whoever changes it.
    ASSERT_TRUE(host->SetGlobalTab(0));
    EXPECT_TRUE(page.Tab(0)->IsLayerVisible());
    EXPECT_FALSE(page.Tab(2)->IsLayerVisible());
    EXPECT_EQ(Control(*page.Header(), "PageGlblGlobal").Value(), 1);
    EXPECT_EQ(Control(*page.Header(), "PageGlblCCMap").Value(), 0);
}

TEST_F(GlobalTab, EveryControlIsBoundToItsParameter) {
    auto& tab = ShowTab(0);
    struct Binding {
        const char* key;
        int parameter;
        int value;
    };
    const Binding bindings[] = {
        {"P.LedSetting", 1, 3}, {"P.NameDisplay", 3, 0}, {"P.ScrSpeed", 4, 2},
        {"P.FltSysEx", 5, 0},   {"P.FltNote", 6, 0},     {"P.FltCc", 7, 0},
        {"P.FltProgChg", 8, 0}, {"P.Clock", 9, 2},       {"P.BPMSync", 10, 0},
        {"P.Touch", 11, 0},     {"P.ProgLoad", 12, 1},   {"P.GlMidiCh", 13, 9},
    };
    for (const Binding& b : bindings) {
        EXPECT_NE(Param(Global(), b.parameter), b.value) << b.key;
        Change(tab, b.key, b.value);
        EXPECT_EQ(Param(Global(), b.parameter), b.value) << b.key;
        EXPECT_EQ(Control(tab, b.key).Value(), b.value) << b.key;
    }
    EXPECT_EQ(Control(tab, "P.LedSetting").Text(), "Type 2");
    EXPECT_EQ(Control(tab, "P.GlMidiCh").Text(), "10");
    EXPECT_TRUE(host->IsModified());
    ProcessEvents();
    EXPECT_EQ(window->windowTitle(), "Untitled * - TALVEX PRO+ Editor");
}

TEST_F(GlobalTab, ChannelStepsStopAtOneAndSixteen) {
    auto& tab = ShowTab(0);
    Click(tab, "P.GlMidiCh.Down");
    EXPECT_EQ(Param(Global(), 13), 0);
    EXPECT_FALSE(host->IsModified());
    Click(tab, "P.GlMidiCh.Up");
    EXPECT_EQ(Param(Global(), 13), 1);
    Change(tab, "P.GlMidiCh", 15);
    Click(tab, "P.GlMidiCh.Up");
    EXPECT_EQ(Param(Global(), 13), 15);
    EXPECT_EQ(Control(tab, "P.GlMidiCh").Maximum(), 15);
}

TEST_F(GlobalTab, ScrollTextKeepsTenCharactersAndIsRewrittenOnlyWhenItDiffers) {
    auto& tab = static_cast<CTarnGlobalGlobalLayer&>(ShowTab(0));
    CEfControl& text = Control(tab, "P.ScrText");
    EXPECT_EQ(text.Text(), "QX-9 Neo  ");
    tab.OnEfControlTextChanged(&text, "HELLO WORLD!");
    EXPECT_EQ(tab.StoredScrollText(), "HELLO WORL");
    EXPECT_EQ(text.Text(), "HELLO WORL");
    EXPECT_TRUE(host->IsModified());

    // A refresh with the same stored text leaves the control alone.
    const int rewrites = tab.ScrollTextRewrites();
    host->PostMessage(kMsgRefreshGlobal);
    ProcessEvents();
    EXPECT_EQ(tab.ScrollTextRewrites(), rewrites);
    Global().SetScrollText("OTHER");
    host->PostMessage(kMsgRefreshGlobal);
    ProcessEvents();
    EXPECT_EQ(tab.ScrollTextRewrites(), rewrites + 1);
    EXPECT_EQ(text.Text(), "OTHER");

    // Characters the instrument cannot show become blanks.
    tab.OnEfControlTextChanged(&text, "Caf\xc3\xa9 \x01");
    EXPECT_EQ(tab.StoredScrollText(), "Caf   ");
}

TEST_F(GlobalTab, RefreshesOnMessagesZeroAndThree) {
    auto& tab = ShowTab(0);
    Global().SetParameter(ParamAddress(1), 4);
    ProcessEvents();
    EXPECT_EQ(Control(tab, "P.LedSetting").Value(), 10);
    host->PostMessage(kMsgRefreshAll);
    ProcessEvents();
    EXPECT_EQ(Control(tab, "P.LedSetting").Value(), 4);
    Global().SetParameter(ParamAddress(9), 1);
    host->PostMessage(kMsgRefreshGlobal);
    ProcessEvents();
    EXPECT_EQ(Control(tab, "P.Clock").Value(), 1);
    // Data changed while another tab was shown is read when the tab shows again.
    ShowTab(2);
    Global().SetParameter(ParamAddress(9), 2);
    host->PostMessage(kMsgRefreshGlobal);
    ProcessEvents();
    ShowTab(0);
    EXPECT_EQ(Control(tab, "P.Clock").Value(), 2);
}

TEST_F(CcMapTab, PadXEnableOffDisablesItsNumberAndKeepsTheValue) {
    auto& tab = ShowTab(2);
    CEfControl& number = Control(tab, "P.PadX");
    EXPECT_TRUE(number.IsControlEnabled());
    EXPECT_EQ(number.Value(), 12);
    Change(tab, "P.Sw.PadX", 0);
    EXPECT_FALSE(number.IsControlEnabled());
    EXPECT_EQ(number.Value(), 12);
    EXPECT_EQ(Param(Global(), 18, 5), 12);
    EXPECT_EQ(Global().GetNativeData()[0x25], 0x80 | 12);
    EXPECT_TRUE(host->IsModified());
    Change(tab, "P.Sw.PadX", 1);
    EXPECT_TRUE(number.IsControlEnabled());
    EXPECT_EQ(Global().GetNativeData()[0x25], 12);
}

TEST_F(CcMapTab, ElevenRowsWithNoteNamesForTheBanks) {
    auto& tab = ShowTab(2);
    const char* rows[] = {"BankA",    "BankB",   "BankC",    "BankD",     "PadX",   "PadY",
                          "PadTouch", "ProgVol", "GateTime", "GateSpeed", "GateArp"};
    for (int i = 0; i < CTarnGlobalCCMapLayer::kRowCount; ++i) {
        const std::string name = rows[i];
        EXPECT_NE(tab.FindControl("C." + name), nullptr) << name;
        EXPECT_EQ(Control(tab, ("P.Sw." + name).c_str()).Value(), 1) << name;
        EXPECT_EQ(Control(tab, ("P." + name).c_str()).Value(), Param(Global(), 14 + i, 5)) << name;
    }
    EXPECT_EQ(Control(tab, "P.BankA").Text(), "C  2 ");
    Change(tab, "P.BankB", 60);
    EXPECT_EQ(Param(Global(), 15, 5), 60);
    EXPECT_EQ(Control(tab, "P.BankB").Text(), "C  4 ");
}

TEST_F(CcMapTab, TypedNumbersAreClampedAndTextChangesNothing) {
    auto& tab = ShowTab(2);
    auto* number = tab.FindControlAs<CEfControlValueParameter>("P.ProgVol");
    ASSERT_NE(number, nullptr);
    number->ApplyTyped("abc");
    EXPECT_EQ(Param(Global(), 21, 5), 94);
    EXPECT_FALSE(host->IsModified());
    number->ApplyTyped("300");
    EXPECT_EQ(Param(Global(), 21, 5), 127);
    number->ApplyTyped("-5");
    EXPECT_EQ(Param(Global(), 21, 5), 0);
    number->Step(-1);
    EXPECT_EQ(Param(Global(), 21, 5), 0);
    number->Step(+1);
    EXPECT_EQ(Param(Global(), 21, 5), 1);
    EXPECT_TRUE(host->IsModified());
}
