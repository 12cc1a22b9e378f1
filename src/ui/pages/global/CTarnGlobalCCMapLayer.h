#pragma once

#include "ui/pages/global/CTarnGlobalTabLayer.h"

// The CC Map tab: for each of the eleven performance controls an enable check box and the
// control change it sends (a note name for the four banks, a number for the others). The number
// is enabled only while its check box is on; turning it off keeps the number.
class CTarnGlobalCCMapLayer : public CTarnGlobalTabLayer {
    Q_OBJECT

public:
    static constexpr int kRowCount = 11;

    explicit CTarnGlobalCCMapLayer(CTarnHost& host, QWidget* parent = nullptr);
};
