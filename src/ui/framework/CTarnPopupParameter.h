#pragma once

#include "ui/framework/CTarnPopupText.h"

// A pop-up bound to a value: shows the display list's text at the value; the menu offers the
// menu list's texts (the range is 0 to the menu list's count - 1 from creation).
class CTarnPopupParameter : public CTarnPopupText {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        int width;
        const char* font;
        const char* buttonImage;
        const char* menuList;
        const char* displayList;
    };

    CTarnPopupParameter(const Description& description, const CEfFontInfo& font,
                        const CEfImage* buttonImage, std::vector<std::string> menuTexts,
                        std::vector<std::string> displayTexts, const CEfControlInfo& info = {},
                        QWidget* parent = nullptr);

    std::string Text() const override;
    const std::vector<std::string>& DisplayTexts() const { return displayTexts_; }

protected:
    std::string ShownText() const override;

private:
    std::vector<std::string> displayTexts_;
};
