#include "ui/framework/CEfControl.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "ui/framework/CEfControlListener.h"
#include "ui/framework/EfClassName.h"
#include "ui/framework/EfFieldHelpers.h"

CEfControl::CEfControl(const std::string& key, const CEfControlInfo& info, QWidget* parent)
    : QWidget(parent), key_(key), info_(info) {
    setObjectName(QString::fromStdString(key_));
    setAccessibleName(QString::fromStdString(key_));
    setFocusPolicy(Qt::NoFocus);
}

CEfControl::~CEfControl() = default;

void CEfControl::SetValue(int value, bool redraw) {
    value_ = value;
    if (redraw) {
        update();
    }
}

void CEfControl::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
}

int CEfControl::Clamp(int value) const {
    return std::clamp(value, minimum_, maximum_);
}

void CEfControl::SetText(const std::string& text, bool redraw) {
    text_ = text;
    setAccessibleName(ef::ToQString(text_.empty() ? key_ : text_));
    if (redraw) {
        update();
    }
}

void CEfControl::SetControlEnabled(bool enabled, bool redraw) {
    enabled_ = enabled;
    setEnabled(enabled);
    if (!enabled) {
        pressed_ = false;
    }
    if (redraw) {
        update();
    }
}

void CEfControl::SetControlVisible(bool visible, bool redraw) {
    setVisible(visible);
    if (!visible) {
        pressed_ = false;
    }
    if (redraw && parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
}

void CEfControl::OnEfTick(int /*elapsedMs*/) {}

QString CEfControl::KindName() const {
    return QString::fromStdString(ef::ClassNameOf(*this));
}

int CEfControl::StripState(bool on) const {
    if (!enabled_) {
        return 2;
    }
    return on ? 1 : 0;
}

void CEfControl::PaintFocusFrame(QPainter& painter) const {
    if (!hasFocus()) {
        return;
    }
    painter.save();
    QPen pen(ef::FocusColor());
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.restore();
}

void CEfControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !enabled_) {
        event->ignore();
        return;
    }
    pressed_ = true;
    pointerInside_ = true;
    dragStarted_ = false;
    pressPosition_ = event->position().toPoint();
    update();
    if (listener_ != nullptr) {
        listener_->OnEfControlPressed(this, pressPosition_);
    }
    OnPressed(pressPosition_);
    event->accept();
}

void CEfControl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    const bool inside = rect().contains(position);
    if (inside != pointerInside_) {
        pointerInside_ = inside;
        update();
    }
    if (pressed_ && dragSource_ && !dragStarted_ &&
        (position - pressPosition_).manhattanLength() >= QApplication::startDragDistance()) {
        StartDrag(pressPosition_);
    }
}

void CEfControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    pressed_ = false;
    const QPoint position = event->position().toPoint();
    const bool inside = rect().contains(position);
    update();
    OnReleased();
    if (inside) {
        OnReleasedInside(position);
    }
}

void CEfControl::enterEvent(QEnterEvent* event) {
    pointerInside_ = true;
    QWidget::enterEvent(event);
}

void CEfControl::leaveEvent(QEvent* event) {
    pointerInside_ = false;
    QWidget::leaveEvent(event);
}

void CEfControl::keyPressEvent(QKeyEvent* event) {
    if (!enabled_) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) {
            OnActivated();
        }
        return;
    case Qt::Key_Up:
    case Qt::Key_Right:
        if (OnStepKey(1)) {
            return;
        }
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        if (OnStepKey(-1)) {
            return;
        }
        break;
    case Qt::Key_PageUp:
        if (OnStepKey(10)) {
            return;
        }
        break;
    case Qt::Key_PageDown:
        if (OnStepKey(-10)) {
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void CEfControl::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CEfControl::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void CEfControl::OnPressed(QPoint /*position*/) {}

void CEfControl::OnReleasedInside(QPoint /*position*/) {
    if (listener_ != nullptr) {
        listener_->OnEfControlClicked(this);
    }
}

void CEfControl::OnReleased() {}

void CEfControl::OnActivated() {
    const QPoint centre = rect().center();
    if (listener_ != nullptr) {
        listener_->OnEfControlPressed(this, centre);
    }
    OnPressed(centre);
    OnReleased();
    OnReleasedInside(centre);
}

bool CEfControl::OnStepKey(int /*delta*/) {
    return false;
}

void CEfControl::StartDrag(QPoint position) {
    dragStarted_ = true;
    if (listener_ == nullptr) {
        return;
    }
    std::unique_ptr<QMimeData> data = listener_->OnEfControlBeginDrag(this, position);
    if (!data) {
        return;
    }
    // The press ends in the drag: no click follows.
    pressed_ = false;
    update();
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    auto* drag = new QDrag(this);
    drag->setMimeData(data.release());
    drag->setPixmap(picture);
    drag->setHotSpot(position);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    EfDropEffect effect = EfDropEffect::kNone;
    if (action == Qt::CopyAction) {
        effect = EfDropEffect::kCopy;
    } else if (action == Qt::MoveAction) {
        effect = EfDropEffect::kMove;
    }
    if (listener_ != nullptr) {
        listener_->OnEfControlDragEnded(this, effect);
    }
}
