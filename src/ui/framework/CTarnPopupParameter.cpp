#include "ui/framework/CTarnPopupParameter.h"

CTarnPopupParameter::CTarnPopupParameter(const Description& description, const CEfFontInfo& font,
                                         const CEfImage* buttonImage,
                                         std::vector<std::string> menuTexts,
                                         std::vector<std::string> displayTexts,
                                         const CEfControlInfo& info, QWidget* parent)
    : CTarnPopupText(description.key, description.x, description.y, description.width, font,
                     buttonImage, std::move(menuTexts), info, parent),
      displayTexts_(std::move(displayTexts)) {}

std::string CTarnPopupParameter::Text() const {
    return ShownText();
}

std::string CTarnPopupParameter::ShownText() const {
    const int value = Value();
    if (value < 0 || static_cast<size_t>(value) >= displayTexts_.size()) {
        return {};
    }
    return displayTexts_[static_cast<size_t>(value)];
}
