#include "ui/pages/global/CTarnGlobalLayer.h"

#include <array>
#include <string_view>

#include "app/CTarnBusyScope.h"
#include "app/CTarnDialogFlag.h"
#include "app/CTarnHost.h"
#include "app/CTarnHostWindow.h"
#include "app/CTarnPreferencesData.h"
#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "files/CTarnGlobalDataIO.h"
#include "framework/CEfFileIO.h"
#include "framework/CEfMessage.h"
#include "framework/CTarnMessageBox.h"
#include "midi/CTarnMidiTransfer.h"

namespace {

constexpr int kMessageTransmitGlobal = 31;
constexpr int kMessageSysExFilterOff = 34;
constexpr int kYes = 2;

constexpr std::array<CTarnButton::Description, 3> kTabs{{
    {"PageGlblGlobal", 16, 48, "ButtonTabGlobalGlobal"},
    {"PageGlblExtCtrl", 162, 48, "ButtonTabGlobalExtCtrl"},
    {"PageGlblCCMap", 308, 48, "ButtonTabGlobalCcmap"},
}};

constexpr std::array<CTarnButton::Description, 4> kCommands{{
    {"BtnLoad", 330, 5, "ButtonGlobalLoad"},
    {"BtnSave", 420, 5, "ButtonGlobalSave"},
    {"BtnReceive", 510, 5, "ButtonGlobalReceive"},
    {"BtnTransmit", 600, 5, "ButtonGlobalTransmit"},
}};

} // namespace

CTarnGlobalLayer::CTarnGlobalLayer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    SetLayerRect(QRect(0, 0, 700, kHeight));
    // The page's picture carries the header; this layer shows its top part.
    SetBackgroundImage("BG_GlobalEditCommon");
    std::array<CEfControlInfo, 3> tabInfo{};
    for (size_t i = 0; i < tabInfo.size(); ++i) {
        tabInfo[i].index = static_cast<int32_t>(i);
    }
    CreateOnOffButtons(kTabs, tabInfo);
    CreateButtons(kCommands);
    UpdateTabs();
    host_.AddListener(this);
}

CTarnGlobalLayer::~CTarnGlobalLayer() {
    host_.RemoveListener(this);
}

void CTarnGlobalLayer::UpdateTabs() {
    for (size_t i = 0; i < kTabs.size(); ++i) {
        SetControlValue(kTabs[i].key, static_cast<int>(i) == host_.GetGlobalTab() ? 1 : 0);
    }
}

void CTarnGlobalLayer::OnTarnHostGlobalTabChanged(int /*tab*/) {
    UpdateTabs();
}

void CTarnGlobalLayer::OnEfControlClicked(CEfControl* control) {
    const std::string_view key = control->Key();
    if (key == "BtnLoad") {
        Load();
    } else if (key == "BtnSave") {
        Save();
    } else if (key == "BtnReceive") {
        Receive();
    } else if (key == "BtnTransmit") {
        Transmit();
    } else {
        for (size_t i = 0; i < kTabs.size(); ++i) {
            if (key == kTabs[i].key) {
                host_.SetGlobalTab(static_cast<int>(i));
            }
        }
        UpdateTabs();
    }
}

CEfWindow* CTarnGlobalLayer::DialogParent() const {
    return host_.GetWindow() != nullptr ? host_.GetWindow()->DialogParent() : nullptr;
}

bool CTarnGlobalLayer::Load() {
    CTarnDialogFlag guard(host_);
    CTarnAllData* all = host_.GetAllData();
    if (all == nullptr || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    CTarnGlobalDataIO io;
    if (io.Open(all->Global(), DialogParent()) != CEfFileIO::kSucceeded) {
        return false;
    }
    host_.SetModified(true);
    host_.PostMessage(kMsgRefreshGlobal);
    return true;
}

bool CTarnGlobalLayer::Save() {
    CTarnDialogFlag guard(host_);
    CTarnAllData* all = host_.GetAllData();
    if (all == nullptr || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    CTarnGlobalDataIO io;
    return io.SaveAs(all->Global(), DialogParent()) == CEfFileIO::kSucceeded;
}

bool CTarnGlobalLayer::Receive() {
    CTarnDialogFlag guard(host_);
    CTarnAllData* all = host_.GetAllData();
    if (all == nullptr || !guard.Acquire()) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    if (!CTarnMidiTransfer::Receive(host_.GetMidiManager(), &all->Global())) {
        return false;
    }
    host_.SetModified(true);
    host_.PostMessage(kMsgRefreshGlobal);
    return true;
}

bool CTarnGlobalLayer::Transmit() {
    // The guard stays for the whole command: the transfer lets window events run, and nothing
    // else may start underneath it.
    CTarnDialogFlag guard(host_);
    CTarnAllData* all = host_.GetAllData();
    if (all == nullptr || !guard.Acquire()) {
        return false;
    }
    const CTarnPreferencesData* preferences = host_.GetPreferences();
    if (preferences != nullptr && preferences->GetWarnBeforeTransmit() &&
        CTarnMessageBox::Show(kMessageTransmitGlobal, CTarnMessageBox::kQuestionStyle) != kYes) {
        return false;
    }
    if (all->Global().GetParameter(ParamAddress(CTarnGlobalData::kParamFilterSysEx)) == 0 &&
        CTarnMessageBox::Show(kMessageSysExFilterOff, CTarnMessageBox::kQuestionStyle) != kYes) {
        return false;
    }
    CTarnBusyScope busy(host_);
    if (!busy.Held()) {
        return false;
    }
    return CTarnMidiTransfer::Transmit(host_.GetMidiManager(), &all->Global());
}
