#pragma once

#include "ui/framework/CTarnButton.h"

// An image button with a text centred on it (width from the font's advance widths, height from
// its glyph height).
class CTarnTextButton : public CTarnButton {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        const char* image;
        const char* font;
        const char* text;
    };

    CTarnTextButton(const Description& description, const CEfImage& image, const CEfFontInfo& font,
                    const CEfControlInfo& info = {}, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CEfFontInfo& font_;
};
