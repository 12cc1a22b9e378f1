#include "ui/main/CTarnSystemLayer.h"

#include <array>
#include <string_view>

#include "app/CTarnHost.h"

namespace {

// Layout of the toolbar: the four command buttons in the well on the right, the page tabs along
// the bottom edge from the left.
constexpr std::array<CTarnButton::Description, 4> kButtons{{
    {"BtnOpen", 446, 6, "ButtonAllOpen"},
    {"BtnSave", 508, 6, "ButtonAllSave"},
    {"BtnReceive", 570, 6, "ButtonAllReceive"},
    {"BtnTransmit", 632, 6, "ButtonAllTransmit"},
}};

constexpr std::array<CTarnButton::Description, 3> kTabs{{
    {"PageSampleLib", 12, 57, "ButtonTabModeSampleLibrarian"},
    {"PageProgMemory", 166, 57, "ButtonTabModeProgramMemory"},
    {"PageGlobal", 320, 57, "ButtonTabModeGlobal"},
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
