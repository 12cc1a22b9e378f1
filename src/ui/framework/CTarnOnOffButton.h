#pragma once

#include "ui/framework/CTarnButton.h"

// An image button whose value 0 or 1 picks the off or on state; the page sets the value
// (selection buttons, tabs, preview). Clicks are reported like a button's.
class CTarnOnOffButton : public CTarnButton {
    Q_OBJECT

public:
    using Description = CTarnButton::Description;

    CTarnOnOffButton(const Description& description, const CEfImage& image,
                     const CEfControlInfo& info = {}, QWidget* parent = nullptr);

protected:
    bool ShowsOn() const override;
};
