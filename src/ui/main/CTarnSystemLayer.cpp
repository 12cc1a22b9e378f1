#include "ui/main/CTarnSystemLayer.h"

#include <array>
#include <string_view>

#include "app/CTarnHost.h"

namespace {

// Layout of the toolbar: the four command buttons on the left, the page tabs on the right.
constexpr std::array<CTarnButton::Description, 4> kButtons{{
    {"BtnOpen", 16, 17, "ButtonAllOpen"},
    {"BtnSave", 76, 17, "ButtonAllSave"},
    {"BtnReceive", 148, 17, "ButtonAllReceive"},
    {"BtnTransmit", 208, 17, "ButtonAllTransmit"},
}};

constexpr std::array<CTarnButton::Description, 3> kTabs{{
    {"PageSampleLib", 298, 51, "ButtonTabModeSampleLibrarian"},
    {"PageProgMemory", 432, 51, "ButtonTabModeProgramMemory"},
    {"PageGlobal", 566, 51, "ButtonTabModeGlobal"},
}};

} // namespace

CTarnSystemLayer::CTarnSystemLayer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    SetLayerRect(QRect(0, 0, 700, kHeight));
    SetBackgroundImage("BG_MainToolBar");
    CreateButtons(kButtons);
    std::array<CEfControlInfo, 3> tabInfo{};
    for (size_t i = 0; i < tabInfo.size(); ++i) {
        tabInfo[i].index = static_cast<int32_t>(i);
    }
    CreateOnOffButtons(kTabs, tabInfo);
    UpdateTabs();
}

void CTarnSystemLayer::UpdateTabs() {
    for (size_t i = 0; i < kTabs.size(); ++i) {
        SetControlValue(kTabs[i].key, static_cast<int>(i) == host_.GetPage() ? 1 : 0);
    }
}

void CTarnSystemLayer::OnEfControlClicked(CEfControl* control) {
    const std::string_view key = control->Key();
    if (key == "BtnOpen") {
        host_.Open();
    } else if (key == "BtnSave") {
        host_.SaveAs();
    } else if (key == "BtnReceive") {
        host_.ReceiveAll();
    } else if (key == "BtnTransmit") {
        host_.TransmitAll();
    } else {
        for (size_t i = 0; i < kTabs.size(); ++i) {
            if (key == kTabs[i].key) {
                host_.SetPage(static_cast<int>(i));
            }
        }
        // A refused change must not leave the clicked tab looking chosen.
        UpdateTabs();
    }
}
