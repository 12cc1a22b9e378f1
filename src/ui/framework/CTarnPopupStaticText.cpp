#include "ui/framework/CTarnPopupStaticText.h"

#include <QPainter>

#include "framework/CEfFontInfo.h"

CTarnPopupStaticText::CTarnPopupStaticText(const Description& description, const CEfFontInfo& font,
                                           std::vector<std::string> texts,
                                           const CEfControlInfo& info, QWidget* parent)
    : CEfControl(description.key, info, parent), font_(font), texts_(std::move(texts)),
      align_(description.align) {
    setGeometry(description.x, description.y, description.width, font_.lineHeight + 2);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    SetRange(0, static_cast<int>(texts_.size()) - 1);
}

std::string CTarnPopupStaticText::Text() const {
    const int value = Value();
    if (value < 0 || static_cast<size_t>(value) >= texts_.size()) {
        return {};
    }
    return texts_[static_cast<size_t>(value)];
}

void CTarnPopupStaticText::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    ef::DrawTextIn(painter, font_, rect(), Text(),
                   IsControlEnabled() ? ef::TextColor() : ef::DisabledTextColor(), align_);
}
