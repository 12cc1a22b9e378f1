#include "ui/framework/CTarnCheckBox.h"

#include <QPainter>
#include <algorithm>

#include "framework/CEfFontInfo.h"
#include "framework/CEfImage.h"
#include "ui/framework/CEfControlListener.h"

namespace {
constexpr int kLabelGap = 4;
}

CTarnCheckBox::CTarnCheckBox(const Description& description, const CEfImage& image,
                             const CEfFontInfo& font, const CEfControlInfo& info, QWidget* parent)
    : CEfControl(description.key, info, parent), image_(image), font_(font) {
    const std::string label = description.text != nullptr ? description.text : "";
    SetText(label, false);
    const int labelWidth = label.empty() ? 0 : kLabelGap + ef::TextWidth(font_, label);
    setGeometry(description.x, description.y, image_.LayoutWidth() + labelWidth,
                std::max(ef::StripStateHeight(image_), font_.lineHeight));
    setFocusPolicy(Qt::StrongFocus);
    SetRange(0, 1);
}

void CTarnCheckBox::Toggle() {
    if (!IsControlEnabled()) {
        return;
    }
    const int value = Value() != 0 ? 0 : 1;
    SetValue(value);
    if (Listener() != nullptr) {
        Listener()->OnEfControlChanged(this, value);
    }
}

void CTarnCheckBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int boxHeight = ef::StripStateHeight(image_);
    ef::DrawStripState(painter, image_, StripState(Value() != 0),
                       QPoint(0, (height() - boxHeight) / 2));
    if (!Text().empty()) {
        const int left = image_.LayoutWidth() + kLabelGap;
        ef::DrawTextIn(painter, font_, QRect(left, 0, width() - left, height()), Text(),
                       IsControlEnabled() ? ef::TextColor() : ef::DisabledTextColor(),
                       EfTextAlign::kLeft);
    }
    PaintFocusFrame(painter);
}

void CTarnCheckBox::OnReleasedInside(QPoint /*position*/) {
    Toggle();
}

void CTarnCheckBox::OnActivated() {
    Toggle();
}
