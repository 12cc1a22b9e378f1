#pragma once

#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"

// The slider rows ("Program Volume", "Gate Arp Time/Speed"): enable, channel, control change and
// the value range.
class CTarnExtCtrlSliderLayer : public CTarnExtCtrlParamLayerBase {
    Q_OBJECT

public:
    explicit CTarnExtCtrlSliderLayer(CTarnHost& host, QWidget* parent = nullptr);
};
