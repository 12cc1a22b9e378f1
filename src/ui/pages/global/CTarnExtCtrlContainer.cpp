#include "ui/pages/global/CTarnExtCtrlContainer.h"

#include "app/CTarnHost.h"
#include "ui/pages/global/CTarnExtCtrlPadNoteLayer.h"
#include "ui/pages/global/CTarnExtCtrlSliderLayer.h"
#include "ui/pages/global/CTarnExtCtrlSwitchLayer.h"
#include "ui/pages/global/CTarnExtCtrlXyPadLayer.h"
#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"

CTarnExtCtrlContainer::CTarnExtCtrlContainer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    SetLayerRect(QRect(0, 0, kListWidth + kParamWidth, kHeight));
    list_ = new CTarnGlobalExtCtrlLayer(host_);
    list_->SetLayerRect(QRect(0, 0, kListWidth, kHeight));
    AddLayer(list_, true);
    host_.AddListener(this);
    ShowKind(host_.GetExtCtrlLayerKind());
}

CTarnExtCtrlContainer::~CTarnExtCtrlContainer() {
    host_.RemoveListener(this);
}

CTarnExtCtrlParamLayerBase* CTarnExtCtrlContainer::ParamLayer(int kind) const {
    return kind >= 0 && kind < static_cast<int>(params_.size()) ? params_[kind] : nullptr;
}

CTarnExtCtrlParamLayerBase* CTarnExtCtrlContainer::CreateKind(int kind) {
    switch (kind) {
    case 0:
        return new CTarnExtCtrlSwitchLayer(host_);
    case 1:
        return new CTarnExtCtrlSliderLayer(host_);
    case 2:
        return new CTarnExtCtrlXyPadLayer(host_);
    default:
        return new CTarnExtCtrlPadNoteLayer(host_);
    }
}

void CTarnExtCtrlContainer::ShowKind(int kind) {
    if (kind < 0 || kind >= static_cast<int>(params_.size())) {
        return;
    }
    if (kind == shown_) {
        // Another row of the same kind: the layer reads the new row.
        params_[kind]->Refresh(true);
        return;
    }
    SetSwitching(true);
    if (CTarnExtCtrlParamLayerBase* old = ParamLayer(shown_)) {
        HideChild(old);
    }
    if (params_[kind] == nullptr) {
        params_[kind] = CreateKind(kind);
        params_[kind]->SetLayerRect(QRect(kListWidth, 0, kParamWidth, kHeight));
        AddLayer(params_[kind], false);
    }
    ShowChild(params_[kind]);
    shown_ = kind;
    SetSwitching(false);
}

void CTarnExtCtrlContainer::OnEfLayerShown() {
    list_->OnEfLayerShown();
    if (CTarnExtCtrlParamLayerBase* shown = ParamLayer(shown_)) {
        shown->OnEfLayerShown();
    }
}

void CTarnExtCtrlContainer::OnTarnHostExtCtrlLayerChanged(int kind) {
    ShowKind(kind);
}
