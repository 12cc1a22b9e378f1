#pragma once

#include "ui/framework/CTarnLayerBase.h"

// The about window's content: the "BG_About" picture and the version.
class CTarnAboutLayer : public CTarnLayerBase {
    Q_OBJECT

public:
    static constexpr const char* kVersion = "1.0.0";

    explicit CTarnAboutLayer(QWidget* parent = nullptr);
};
