#include "ui/framework/CTarnButton.h"

#include <QPainter>

#include "framework/CEfImage.h"
#include "ui/framework/EfPicturePainter.h"

CTarnButton::CTarnButton(const std::string& key, const CEfImage& image, const CEfControlInfo& info,
                         QWidget* parent)
    : CEfControl(key, info, parent), image_(image) {
    setFixedSize(image_.LayoutWidth(), ef::StripStateHeight(image_));
    setFocusPolicy(Qt::StrongFocus);
}

CTarnButton::CTarnButton(const Description& description, const CEfImage& image,
                         const CEfControlInfo& info, QWidget* parent)
    : CTarnButton(description.key, image, info, parent) {
    move(description.x, description.y);
}

void CTarnButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    ef::DrawStripState(painter, image_, StripState(ShowsOn()), QPoint(0, 0));
    PaintFocusFrame(painter);
}

bool CTarnButton::ShowsOn() const {
    return IsPressedDown() && IsPointerInside();
}
