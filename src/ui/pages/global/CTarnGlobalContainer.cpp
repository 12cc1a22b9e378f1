#include "ui/pages/global/CTarnGlobalContainer.h"

#include "app/CTarnHost.h"

CTarnGlobalContainer::CTarnGlobalContainer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    SetBackgroundImage("BG_GlobalEditCommon");
    host_.AddListener(this);
}

CTarnGlobalContainer::~CTarnGlobalContainer() {
    host_.RemoveListener(this);
}
