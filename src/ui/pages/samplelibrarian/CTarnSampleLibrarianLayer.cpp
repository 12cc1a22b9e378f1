#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

#include "app/CTarnHost.h"

CTarnSampleLibrarianLayer::CTarnSampleLibrarianLayer(CTarnHost& host, QWidget* parent)
    : CTarnLayerBase(parent), host_(host) {
    SetBackgroundImage("BG_SampleLibrarian");
    host_.AddListener(this);
}

CTarnSampleLibrarianLayer::~CTarnSampleLibrarianLayer() {
    host_.RemoveListener(this);
}
