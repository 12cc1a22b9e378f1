#include "ui/main/CTarnMainContainer.h"

#include "app/CTarnHost.h"
#include "ui/framework/CEfWindow.h"
#include "ui/main/CTarnSystemLayer.h"
#include "ui/pages/global/CTarnGlobalContainer.h"
#include "ui/pages/programmemory/CTarnProgramMemoryLayer.h"
#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

CTarnMainContainer::CTarnMainContainer(CTarnHost& host, QWidget* parent)
    : CEfContainerLayer(parent), host_(host), system_(new CTarnSystemLayer(host)) {
    SetLayerRect(QRect(0, 0, kWidth, kHeight));
    AddLayer(system_, true);
    host_.AddListener(this);
    ShowPage(host_.GetPage());
}

CTarnMainContainer::~CTarnMainContainer() {
    host_.RemoveListener(this);
}

CEfWindowLayer* CTarnMainContainer::Page(int page) const {
    return page >= 0 && page < static_cast<int>(pages_.size()) ? pages_[page] : nullptr;
}

void CTarnMainContainer::OnTarnHostPageChanged(int page) {
    ShowPage(page);
    system_->UpdateTabs();
}

CEfWindowLayer* CTarnMainContainer::CreatePage(int page) {
    switch (page) {
    case 0:
        return new CTarnSampleLibrarianLayer(host_);
    case 1:
        return new CTarnProgramMemoryLayer(host_);
    default:
        return new CTarnGlobalContainer(host_);
    }
}

void CTarnMainContainer::ShowPage(int page) {
    if (page == shown_ || page < 0 || page >= static_cast<int>(pages_.size())) {
        return;
    }
    CEfWindow* window = Window();
    if (window) {
        window->SetSwitching(true);
    }
    if (CEfWindowLayer* old = Page(shown_)) {
        HideChild(old);
    }
    if (!pages_[page]) {
        pages_[page] = CreatePage(page);
        pages_[page]->SetLayerRect(QRect(0, kPageTop, kWidth, kHeight - kPageTop));
        AddLayer(pages_[page], false);
    }
    ShowChild(pages_[page]);
    shown_ = page;
    if (window) {
        window->SetSwitching(false);
    }
}
