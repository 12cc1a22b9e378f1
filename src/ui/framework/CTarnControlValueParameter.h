#pragma once

#include "ui/framework/CEfControlValueParameter.h"

// The editor's value parameter: a slower auto-repeat than the framework's (1300 ms before the
// first repeat, then every 255 ms).
class CTarnControlValueParameter : public CEfControlValueParameter {
    Q_OBJECT

public:
    static constexpr int kRepeatDelayMs = 1300;
    static constexpr int kRepeatIntervalMs = 255;

    CTarnControlValueParameter(const Description& description, const CEfFontInfo& font,
                               const CEfImage& upImage, const CEfImage& downImage,
                               const CEfControlInfo& info = {}, QWidget* parent = nullptr);
};
