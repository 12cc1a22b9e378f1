#include "ui/framework/CTarnTextButton.h"

#include <QPainter>

#include "framework/CEfFontInfo.h"
#include "ui/framework/EfPicturePainter.h"

CTarnTextButton::CTarnTextButton(const Description& description, const CEfImage& image,
                                 const CEfFontInfo& font, const CEfControlInfo& info,
                                 QWidget* parent)
    : CTarnButton(description.key, image, info, parent), font_(font) {
    move(description.x, description.y);
    SetText(description.text != nullptr ? description.text : "", false);
}

void CTarnTextButton::paintEvent(QPaintEvent* event) {
    CTarnButton::paintEvent(event);
    QPainter painter(this);
    ef::DrawTextIn(painter, font_, rect(), Text(),
                   IsControlEnabled() ? ef::TextColor() : ef::DisabledTextColor(),
                   EfTextAlign::kCenter);
}
