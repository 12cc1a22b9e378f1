#pragma once

#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"

// The "Pad Assign" row: for each of the eight pads an enable check box, the control change and
// the MIDI channel (parameters 53 to 60).
class CTarnExtCtrlXyPadLayer : public CTarnExtCtrlParamLayerBase {
    Q_OBJECT

public:
    static constexpr int kPadCount = 8;

    explicit CTarnExtCtrlXyPadLayer(CTarnHost& host, QWidget* parent = nullptr);
};
