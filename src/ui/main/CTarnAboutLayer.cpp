#include "ui/main/CTarnAboutLayer.h"

#include <array>

namespace {

const std::array<CTarnStaticText::Description, 1> kTexts{{
    {"VersionInfo", 100, 202, 100, 14, "TrebuchetMS12P", CTarnAboutLayer::kVersion,
     EfTextAlign::kCenter},
}};

} // namespace

CTarnAboutLayer::CTarnAboutLayer(QWidget* parent) : CTarnLayerBase(parent) {
    SetLayerRect(QRect(0, 0, 300, 300));
    SetBackgroundImage("BG_About");
    CreateStaticTexts(kTexts);
}
