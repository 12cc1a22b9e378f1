#pragma once

#include "ui/framework/CTarnTextButton.h"

// A controller row's button on the External Controller tab: the row's summary centred on the
// key picture, lit (state 1) while its row is the selected one (value 1).
class CTarnExtCtrlButton : public CTarnTextButton {
    Q_OBJECT

public:
    CTarnExtCtrlButton(const Description& description, const CEfImage& image,
                       const CEfFontInfo& font, const CEfControlInfo& info = {},
                       QWidget* parent = nullptr);

protected:
    bool ShowsOn() const override;
};
