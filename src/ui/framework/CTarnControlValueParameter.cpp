#include "ui/framework/CTarnControlValueParameter.h"

CTarnControlValueParameter::CTarnControlValueParameter(const Description& description,
                                                       const CEfFontInfo& font,
                                                       const CEfImage& upImage,
                                                       const CEfImage& downImage,
                                                       const CEfControlInfo& info, QWidget* parent)
    : CEfControlValueParameter(description, font, upImage, downImage, info, parent) {
    SetRepeatTiming(kRepeatDelayMs, kRepeatIntervalMs);
}
