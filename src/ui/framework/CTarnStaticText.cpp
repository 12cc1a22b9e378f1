#include "ui/framework/CTarnStaticText.h"

#include <QPainter>
#include <QWheelEvent>

#include "framework/CEfFontInfo.h"
#include "ui/framework/CEfControlListener.h"

CTarnStaticText::CTarnStaticText(const Description& description, const CEfFontInfo& font,
                                 const CEfControlInfo& info, QWidget* parent)
    : CEfControl(description.key, info, parent), font_(font), align_(description.align),
      flags_(description.flags), color_(ef::TextColor()) {
    const std::string text = description.text != nullptr ? description.text : "";
    const int width = description.width > 0 ? description.width : ef::TextWidth(font_, text);
    const int height = description.height > 0 ? description.height : font_.lineHeight;
    setGeometry(description.x, description.y, width, height);
    SetText(text, false);
    if ((flags_ & (kInteractive | kSteppable)) != 0) {
        setFocusPolicy(Qt::StrongFocus);
    } else {
        // Captions let clicks and drags through to the layer.
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

void CTarnStaticText::SetTextColor(const QColor& color) {
    color_ = color;
    update();
}

void CTarnStaticText::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    ef::DrawTextIn(painter, font_, rect(), Text(),
                   IsControlEnabled() ? color_ : ef::DisabledTextColor(), align_);
    PaintFocusFrame(painter);
}

void CTarnStaticText::wheelEvent(QWheelEvent* event) {
    if ((flags_ & kSteppable) == 0 || !IsControlEnabled() || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    OnStepKey(event->angleDelta().y() > 0 ? 1 : -1);
    event->accept();
}

bool CTarnStaticText::OnStepKey(int delta) {
    if ((flags_ & kSteppable) == 0) {
        return false;
    }
    if (Listener() != nullptr) {
        Listener()->OnEfControlChanged(this, delta > 0 ? 2 : 0);
    }
    return true;
}
