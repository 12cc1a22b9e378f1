#pragma once

#include "ui/framework/CEfControl.h"

// A check box picture ("ButtonCheckBox": off, on, disabled) with a label to its right. A click
// (or Space) toggles the value 0/1 and sends changed.
class CTarnCheckBox : public CEfControl {
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

    CTarnCheckBox(const Description& description, const CEfImage& image, const CEfFontInfo& font,
                  const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    void Toggle();

protected:
    void paintEvent(QPaintEvent* event) override;
    void OnReleasedInside(QPoint position) override;
    void OnActivated() override;

private:
    const CEfImage& image_;
    const CEfFontInfo& font_;
};
