#include "ui/framework/CTarnOnOffButton.h"

CTarnOnOffButton::CTarnOnOffButton(const Description& description, const CEfImage& image,
                                   const CEfControlInfo& info, QWidget* parent)
    : CTarnButton(description, image, info, parent) {
    SetRange(0, 1);
}

bool CTarnOnOffButton::ShowsOn() const {
    return Value() != 0;
}
