#include "ui/pages/global/CTarnGlobalContainer.h"

#include "app/CTarnHost.h"
#include "ui/pages/global/CTarnExtCtrlContainer.h"
#include "ui/pages/global/CTarnGlobalCCMapLayer.h"
#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"
#include "ui/pages/global/CTarnGlobalGlobalLayer.h"
#include "ui/pages/global/CTarnGlobalLayer.h"

namespace {
constexpr int kExtCtrlTab = 1;
}

CTarnGlobalContainer::CTarnGlobalContainer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    SetBackgroundImage("BG_GlobalEditCommon");
    header_ = new CTarnGlobalLayer(host_);
    AddLayer(header_, true);
    host_.AddListener(this);
    ShowTab(host_.GetGlobalTab());
}

CTarnGlobalContainer::~CTarnGlobalContainer() {
    host_.RemoveListener(this);
}

CEfWindowLayer* CTarnGlobalContainer::Tab(int tab) const {
    return tab >= 0 && tab < static_cast<int>(tabs_.size()) ? tabs_[tab] : nullptr;
}

CTarnExtCtrlContainer* CTarnGlobalContainer::ExtCtrl() const {
    return static_cast<CTarnExtCtrlContainer*>(tabs_[kExtCtrlTab]);
}

CEfWindowLayer* CTarnGlobalContainer::CreateTab(int tab) {
    switch (tab) {
    case 0:
        return new CTarnGlobalGlobalLayer(host_);
    case kExtCtrlTab:
        return new CTarnExtCtrlContainer(host_);
    default:
        return new CTarnGlobalCCMapLayer(host_);
    }
}

void CTarnGlobalContainer::ShowTab(int tab) {
    if (tab == shown_ || tab < 0 || tab >= static_cast<int>(tabs_.size())) {
        return;
    }
    SetSwitching(true);
    if (CEfWindowLayer* old = Tab(shown_)) {
        HideChild(old);
    }
    if (tabs_[tab] == nullptr) {
        tabs_[tab] = CreateTab(tab);
        tabs_[tab]->SetLayerRect(QRect(0, kTabTop, 700, kTabHeight));
        AddLayer(tabs_[tab], false);
    }
    ShowChild(tabs_[tab]);
    shown_ = tab;
    SetSwitching(false);
}

void CTarnGlobalContainer::OnEfLayerShown() {
    // Messages pass hidden pages by, so a page shown again reads the data afresh.
    header_->UpdateTabs();
    if (CEfWindowLayer* tab = Tab(shown_)) {
        tab->OnEfLayerShown();
    }
}

void CTarnGlobalContainer::OnTarnHostGlobalTabChanged(int tab) {
    ShowTab(tab);
}

void CTarnGlobalContainer::OnTarnHostCut() {
    if (shown_ == kExtCtrlTab) {
        ExtCtrl()->List()->Cut();
    }
}

void CTarnGlobalContainer::OnTarnHostCopy() {
    if (shown_ == kExtCtrlTab) {
        ExtCtrl()->List()->Copy();
    }
}

void CTarnGlobalContainer::OnTarnHostPaste() {
    if (shown_ == kExtCtrlTab) {
        ExtCtrl()->List()->Paste();
    }
}

void CTarnGlobalContainer::OnTarnHostClear() {
    if (shown_ == kExtCtrlTab) {
        ExtCtrl()->List()->Clear();
    }
}
