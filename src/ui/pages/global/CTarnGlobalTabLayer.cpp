#include "ui/pages/global/CTarnGlobalTabLayer.h"

#include <QColor>

#include "app/CTarnHost.h"
#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "framework/CEfMessage.h"
#include "framework/CEfMessageManagerApp.h"

CTarnGlobalTabLayer::CTarnGlobalTabLayer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    host_.AddListener(this);
}

CTarnGlobalTabLayer::~CTarnGlobalTabLayer() {
    host_.RemoveListener(this);
}

QColor CTarnGlobalTabLayer::CaptionColor() {
    return QColor(0xa6, 0xad, 0xb6);
}

CTarnGlobalData* CTarnGlobalTabLayer::Global() const {
    CTarnAllData* all = host_.GetAllData();
    return all != nullptr ? &all->Global() : nullptr;
}

int CTarnGlobalTabLayer::ParameterOf(const CEfControlInfo& info) const {
    if (info.parameter == kSelectedRow) {
        return CTarnGlobalData::ExtCtrlParamOf(host_.GetSelectedExtController());
    }
    return info.parameter;
}

int CTarnGlobalTabLayer::Read(int parameter, int subValue) const {
    const CTarnGlobalData* global = Global();
    if (global == nullptr || parameter < 0) {
        return 0;
    }
    return global->GetParameter(ParamAddress(parameter, subValue));
}

int CTarnGlobalTabLayer::Read(const CEfControlInfo& info) const {
    return Read(ParameterOf(info), info.subValue);
}

void CTarnGlobalTabLayer::Write(const CEfControlInfo& info, int value) {
    CTarnGlobalData* global = Global();
    const int parameter = ParameterOf(info);
    if (global != nullptr && parameter >= 0) {
        global->SetParameter(ParamAddress(parameter, info.subValue), value);
    }
}

bool CTarnGlobalTabLayer::IsActive(const CEfControlInfo& info) const {
    if (info.subValue <= CTarnGlobalData::kSubEnable) {
        return true;
    }
    return Read(ParameterOf(info), CTarnGlobalData::kSubEnable) != 0;
}

void CTarnGlobalTabLayer::Refresh(bool /*force*/) {
    for (CEfControl* control : Controls()) {
        const CEfControlInfo& info = control->Info();
        if (!info.bound) {
            continue;
        }
        const int value = Read(info);
        if (control->Value() != value) {
            control->SetValue(value);
        }
        const bool active = IsActive(info);
        if (control->IsControlEnabled() != active) {
            control->SetControlEnabled(active);
        }
    }
}

void CTarnGlobalTabLayer::OnEfLayerShown() {
    Refresh(true);
}

bool CTarnGlobalTabLayer::RefreshesOn(int32_t type) const {
    return type == kMsgRefreshAll || type == kMsgRefreshGlobal;
}

bool CTarnGlobalTabLayer::OnEfMessageReceived(CEfMessageManagerApp* /*manager*/, int32_t type,
                                              int32_t /*p1*/, int32_t /*p2*/, int32_t /*p3*/,
                                              int32_t /*p4*/,
                                              CEfMessageManagerListener* /*sender*/) {
    if (IsLayerVisible() && RefreshesOn(type)) {
        Refresh(false);
    }
    return false;
}

void CTarnGlobalTabLayer::OnEfControlChanged(CEfControl* control, int value) {
    const CEfControlInfo& info = control->Info();
    if (!info.bound || ParameterOf(info) < 0) {
        return;
    }
    Write(info, value);
    Refresh(false);
    Edited();
}

void CTarnGlobalTabLayer::Edited() {
    host_.SetModified(true);
}

void CTarnGlobalTabLayer::PostExtCtrlChanged() {
    if (CEfMessageManagerApp* manager = host_.GetMessageManager()) {
        manager->Post(kMsgRefreshExtCtrl, -1, -1, -1, -1, this);
    }
}

void CTarnGlobalTabLayer::ColourCaptions() {
    for (CEfControl* control : Controls()) {
        if (control->Key().rfind("C.", 0) == 0 && control->Key() != "C.Controller") {
            if (auto* text = qobject_cast<CTarnStaticText*>(control)) {
                text->SetTextColor(CaptionColor());
            }
        }
    }
}
