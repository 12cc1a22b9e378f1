#include "ui/framework/CEfControlBitmapList.h"

#include <QPainter>
#include <algorithm>

#include "framework/CEfImage.h"
#include "ui/framework/CEfControlListener.h"

CEfControlBitmapList::CEfControlBitmapList(const Description& description, const CEfImage& image,
                                           const CEfControlInfo& info, QWidget* parent)
    : CEfControl(description.key, info, parent), image_(image),
      itemCount_(std::max(description.itemCount, 1)) {
    setGeometry(description.x, description.y, image_.LayoutWidth(),
                ef::StripStateHeight(image_, itemCount_));
    setFocusPolicy(Qt::StrongFocus);
    SetRange(0, itemCount_ - 1);
}

void CEfControlBitmapList::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    ef::DrawStripState(painter, image_, Clamp(Value()), QPoint(0, 0), itemCount_);
    if (!IsControlEnabled()) {
        painter.fillRect(rect(), QColor(0, 0, 0, 110));
    }
    PaintFocusFrame(painter);
}

void CEfControlBitmapList::OnReleasedInside(QPoint /*position*/) {
    Choose((Value() + 1) % itemCount_);
}

void CEfControlBitmapList::OnActivated() {
    Choose((Value() + 1) % itemCount_);
}

bool CEfControlBitmapList::OnStepKey(int delta) {
    Choose(Clamp(Value() + delta));
    return true;
}

void CEfControlBitmapList::Choose(int item) {
    const int value = Clamp(item);
    if (value != Value() && Listener() != nullptr) {
        Listener()->OnEfControlChanged(this, value);
    }
}
