#include "ui/pages/programmemory/CTarnProgramMemoryLayer.h"

#include "app/CTarnHost.h"

CTarnProgramMemoryLayer::CTarnProgramMemoryLayer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    SetBackgroundImage("BG_ProgramMemoryEdit");
    host_.AddListener(this);
}

CTarnProgramMemoryLayer::~CTarnProgramMemoryLayer() {
    host_.RemoveListener(this);
}
