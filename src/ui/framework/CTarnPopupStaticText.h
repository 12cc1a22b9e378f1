#pragma once

#include <string>
#include <vector>

#include "ui/framework/CEfControl.h"

// Shows the list's text at the value; no input.
class CTarnPopupStaticText : public CEfControl {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        int width;
        const char* font;
        const char* list;
        EfTextAlign align = EfTextAlign::kLeft;
    };

    CTarnPopupStaticText(const Description& description, const CEfFontInfo& font,
                         std::vector<std::string> texts, const CEfControlInfo& info = {},
                         QWidget* parent = nullptr);

    std::string Text() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CEfFontInfo& font_;
    std::vector<std::string> texts_;
    EfTextAlign align_;
};
