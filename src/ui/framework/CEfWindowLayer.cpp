#include "ui/framework/CEfWindowLayer.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>

#include "framework/CEfImage.h"
#include "ui/framework/CEfContainerLayer.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/framework/CEfWindow.h"
#include "ui/framework/EfPicturePainter.h"

namespace {

Qt::DropAction ToAction(EfDropEffect effect) {
    switch (effect) {
    case EfDropEffect::kCopy:
        return Qt::CopyAction;
    case EfDropEffect::kMove:
        return Qt::MoveAction;
    case EfDropEffect::kNone:
        break;
    }
    return Qt::IgnoreAction;
}

} // namespace

CEfWindowLayer::CEfWindowLayer(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
}

CEfWindowLayer::~CEfWindowLayer() {
    // Either removal also detaches the layer from its window.
    if (container_ != nullptr) {
        container_->RemoveLayer(this);
    }
    if (CEfWindow* window = window_) {
        if (!window->RemoveLayer(this)) {
            AttachWindow(nullptr);
        }
    }
}

void CEfWindowLayer::SetLayerRect(const QRect& rect) {
    move(rect.topLeft());
    setFixedSize(rect.size());
}

void CEfWindowLayer::SetBackground(const CEfImage* picture) {
    background_ = picture;
    update();
}

CEfResourceResolver* CEfWindowLayer::Resolver() const {
    if (resolver_ != nullptr) {
        return resolver_;
    }
    // A child layer uses its container's resolver.
    if (container_ != nullptr) {
        return container_->Resolver();
    }
    return CEfResourceResolver::Default();
}

void CEfWindowLayer::AddControl(CEfControl* control) {
    if (control == nullptr) {
        return;
    }
    control->setParent(this);
    control->SetListener(this);
    control->show();
    controls_.push_back(control);
}

CEfControl* CEfWindowLayer::FindControl(std::string_view key) const {
    for (CEfControl* control : controls_) {
        if (control->Key() == key) {
            return control;
        }
    }
    return nullptr;
}

bool CEfWindowLayer::SetControlValue(std::string_view key, int value, bool redraw) {
    CEfControl* control = FindControl(key);
    if (control == nullptr) {
        return false;
    }
    control->SetValue(value, redraw);
    return true;
}

bool CEfWindowLayer::SetControlText(std::string_view key, const std::string& text, bool redraw) {
    CEfControl* control = FindControl(key);
    if (control == nullptr) {
        return false;
    }
    control->SetText(text, redraw);
    return true;
}

bool CEfWindowLayer::SetControlEnabled(std::string_view key, bool enabled, bool redraw) {
    CEfControl* control = FindControl(key);
    if (control == nullptr) {
        return false;
    }
    control->SetControlEnabled(enabled, redraw);
    return true;
}

bool CEfWindowLayer::SetControlVisible(std::string_view key, bool visible, bool redraw) {
    CEfControl* control = FindControl(key);
    if (control == nullptr) {
        return false;
    }
    control->SetControlVisible(visible, redraw);
    return true;
}

void CEfWindowLayer::ShowLayer() {
    if (container_ != nullptr) {
        container_->ShowChild(this);
        return;
    }
    show();
    OnEfLayerShown();
}

void CEfWindowLayer::HideLayer() {
    if (container_ != nullptr) {
        container_->HideChild(this);
        return;
    }
    hide();
}

void CEfWindowLayer::DeliverMessage(CEfMessageManagerApp* manager, const CEfMessage& message) {
    OnEfMessageReceived(manager, message.type, message.params[0], message.params[1],
                        message.params[2], message.params[3], message.sender);
}

void CEfWindowLayer::DeliverTick(int elapsedMs) {
    // Controls may be removed by a handler; hold them weakly.
    std::vector<QPointer<CEfControl>> controls(controls_.begin(), controls_.end());
    for (const QPointer<CEfControl>& control : controls) {
        if (control && control->IsControlVisible()) {
            control->OnEfTick(elapsedMs);
        }
    }
    OnEfLayerTick(elapsedMs);
}

bool CEfWindowLayer::DeliverTargeted(CEfMessageManagerApp* manager, const CEfMessage& message) {
    if (message.target != this) {
        return false;
    }
    DeliverMessage(manager, message);
    return true;
}

bool CEfWindowLayer::OnEfMessageReceived(CEfMessageManagerApp*, int32_t, int32_t, int32_t, int32_t,
                                         int32_t, CEfMessageManagerListener*) {
    return false;
}

void CEfWindowLayer::OnEfLayerTick(int /*elapsedMs*/) {}

void CEfWindowLayer::OnEfLayerShown() {}

QPoint CEfWindowLayer::WindowPosition() const {
    if (window_ != nullptr && window_->ContentArea()->isAncestorOf(this)) {
        return mapTo(window_->ContentArea(), QPoint(0, 0));
    }
    QPoint position = pos();
    for (const QWidget* w = parentWidget(); w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<const CEfWindowLayer*>(w) == nullptr) {
            break;
        }
        position += w->pos();
    }
    return position;
}

void CEfWindowLayer::paintEvent(QPaintEvent* /*event*/) {
    if (background_ == nullptr) {
        return;
    }
    QPainter painter(this);
    ef::DrawPicturePart(painter, *background_,
                        QRect(0, 0, background_->LayoutWidth(), background_->LayoutHeight()),
                        QRect(0, 0, background_->LayoutWidth(), background_->LayoutHeight()));
}

void CEfWindowLayer::AttachWindow(CEfWindow* window) {
    if (window_ == window) {
        return;
    }
    if (window_ != nullptr) {
        window_->UnregisterListener(this);
    }
    window_ = window;
    if (window_ != nullptr) {
        window_->RegisterListener(this);
    }
}

CEfControl* CEfWindowLayer::ControlAt(const QPoint& position) const {
    for (QWidget* w = childAt(position); w != nullptr && w != this; w = w->parentWidget()) {
        auto* control = qobject_cast<CEfControl*>(w);
        if (control != nullptr && control->parentWidget() == this) {
            return control;
        }
    }
    return nullptr;
}

EfDropEffect CEfWindowLayer::AskDrag(bool drop, const QPoint& position, const QMimeData* data,
                                     Qt::KeyboardModifiers modifiers, QObject* source) {
    CEfDragInfo info = CEfDragInfo::From(data, modifiers, source, Resolver());
    auto ask = [&](CEfWindowLayer* layer, CEfControl* control, QPoint at) {
        info.position = at;
        return drop ? layer->OnEfControlDrop(control, info)
                    : layer->OnEfControlDragOver(control, info);
    };
    // The control under the pointer, then the layer itself, then the layers around it, then
    // the window.
    if (CEfControl* control = ControlAt(position)) {
        const EfDropEffect effect = ask(this, control, control->mapFrom(this, position));
        if (effect != EfDropEffect::kNone) {
            return effect;
        }
    }
    for (CEfWindowLayer* layer = this; layer != nullptr; layer = layer->container_) {
        const EfDropEffect effect = ask(layer, nullptr, mapTo(layer, position));
        if (effect != EfDropEffect::kNone) {
            return effect;
        }
    }
    if (window_ != nullptr) {
        info.position = mapTo(window_, position);
        return drop ? window_->OnEfWindowDrop(info) : window_->OnEfWindowDragOver(info);
    }
    return EfDropEffect::kNone;
}

void CEfWindowLayer::dragEnterEvent(QDragEnterEvent* event) {
    // Always taken, so the moves that follow arrive here and each position gets its own answer.
    const EfDropEffect effect = AskDrag(false, event->position().toPoint(), event->mimeData(),
                                        event->modifiers(), event->source());
    event->setDropAction(ToAction(effect));
    event->accept();
}

void CEfWindowLayer::dragMoveEvent(QDragMoveEvent* event) {
    const EfDropEffect effect = AskDrag(false, event->position().toPoint(), event->mimeData(),
                                        event->modifiers(), event->source());
    if (effect == EfDropEffect::kNone) {
        event->ignore();
        return;
    }
    event->setDropAction(ToAction(effect));
    event->accept();
}

void CEfWindowLayer::dropEvent(QDropEvent* event) {
    const EfDropEffect effect = AskDrag(true, event->position().toPoint(), event->mimeData(),
                                        event->modifiers(), event->source());
    if (effect == EfDropEffect::kNone) {
        event->ignore();
        return;
    }
    event->setDropAction(ToAction(effect));
    event->accept();
}
