#include "ui/pages/global/CTarnExtCtrlButton.h"

CTarnExtCtrlButton::CTarnExtCtrlButton(const Description& description, const CEfImage& image,
                                       const CEfFontInfo& font, const CEfControlInfo& info,
                                       QWidget* parent)
    : CTarnTextButton(description, image, font, info, parent) {
    SetRange(0, 1);
}

bool CTarnExtCtrlButton::ShowsOn() const {
    return Value() != 0 || CTarnTextButton::ShowsOn();
}
