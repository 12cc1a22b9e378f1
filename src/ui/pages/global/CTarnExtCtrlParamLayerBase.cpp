#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"

#include <array>

#include "app/CTarnHost.h"
#include "framework/CEfMessage.h"

namespace {
constexpr std::array<CTarnStaticText::Description, 1> kTitle{{
    {"C.Controller", 24, 14, 298, 30, "TrebuchetMS13P", ""},
}};
} // namespace

CTarnExtCtrlParamLayerBase::CTarnExtCtrlParamLayerBase(CTarnHost& host, int kind, QWidget* parent)
    : CTarnGlobalTabLayer(host, parent), kind_(kind) {
    SetBackgroundImage("BG_ExtCtrlParamEdit");
    names_ = ListTexts("ExtControllerName");
    CreateStaticTexts(kTitle);
    if (auto* title = FindControlAs<CTarnStaticText>("C.Controller")) {
        // The title display's amber, as the instrument's own display.
        title->SetTextColor(QColor(0xff, 0xb4, 0x5c));
    }
}

bool CTarnExtCtrlParamLayerBase::RefreshesOn(int32_t type) const {
    return type == kMsgRefreshAll || type == kMsgRefreshGlobal || type == kMsgRefreshExtCtrl;
}

void CTarnExtCtrlParamLayerBase::Refresh(bool force) {
    CTarnGlobalTabLayer::Refresh(force);
    const size_t row = static_cast<size_t>(Host().GetSelectedExtController());
    const std::string name = row < names_.size() ? names_[row] : std::string();
    if (CEfControl* title = FindControl("C.Controller"); title && title->Text() != name) {
        title->SetText(name);
    }
}

void CTarnExtCtrlParamLayerBase::Edited() {
    CTarnGlobalTabLayer::Edited();
    PostExtCtrlChanged();
}
