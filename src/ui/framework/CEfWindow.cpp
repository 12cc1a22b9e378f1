#include "ui/framework/CEfWindow.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

#include "framework/CEfMessageManagerApp.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/framework/CEfWindowLayer.h"

namespace {

// A message notice queued on the window's thread.
class NoticeEvent : public QEvent {
public:
    static QEvent::Type BroadcastType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    static QEvent::Type TargetedType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    NoticeEvent(QEvent::Type type, uint32_t sequence) : QEvent(type), sequence_(sequence) {}
    uint32_t Sequence() const { return sequence_; }

private:
    uint32_t sequence_;
};

} // namespace

CEfWindow::CEfWindow(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), content_(new QWidget(this)) {
    // Registered once, from the constructing (user-interface) thread, before any notice.
    NoticeEvent::BroadcastType();
    NoticeEvent::TargetedType();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(content_);
    setAcceptDrops(true);
    timer_.setInterval(kTimerIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &CEfWindow::OnTimer);
}

CEfWindow::~CEfWindow() {
    SetMessageManager(nullptr);
    timer_.stop();
    // Layers unregister their listeners from this window as they go, so they are destroyed
    // while the window is still whole.
    while (!layers_.empty()) {
        delete layers_.back();
    }
}

void CEfWindow::SetContentSize(const QSize& size) {
    content_->setFixedSize(size);
}

void CEfWindow::AddLayer(CEfWindowLayer* layer) {
    if (layer == nullptr || std::find(layers_.begin(), layers_.end(), layer) != layers_.end()) {
        return;
    }
    const QPoint position = layer->pos();
    layer->setParent(content_);
    layer->move(position);
    layers_.push_back(layer);
    layer->AttachWindow(this);
    layer->show();
}

bool CEfWindow::RemoveLayer(CEfWindowLayer* layer) {
    auto it = std::find(layers_.begin(), layers_.end(), layer);
    if (it == layers_.end()) {
        return false;
    }
    layers_.erase(it);
    layer->AttachWindow(nullptr);
    return true;
}

void CEfWindow::SetMessageManager(CEfMessageManagerApp* manager) {
    if (manager_ == manager) {
        return;
    }
    if (manager_ != nullptr) {
        manager_->UnregisterWindow(this);
    }
    manager_ = manager;
    if (manager_ != nullptr) {
        manager_->RegisterWindow(this);
    }
}

void CEfWindow::SetSwitching(bool switching) {
    if (switching_ == switching) {
        return;
    }
    switching_ = switching;
    content_->setUpdatesEnabled(!switching);
}

void CEfWindow::DeliverTick(int elapsedMs) {
    std::vector<QPointer<CEfWindowLayer>> layers(layers_.begin(), layers_.end());
    for (const QPointer<CEfWindowLayer>& layer : layers) {
        if (layer && layer->IsLayerVisible()) {
            layer->DeliverTick(elapsedMs);
        }
    }
}

void CEfWindow::PostBroadcastNotice(uint32_t sequence) {
    QCoreApplication::postEvent(this, new NoticeEvent(NoticeEvent::BroadcastType(), sequence));
}

void CEfWindow::PostTargetedNotice(uint32_t sequence) {
    QCoreApplication::postEvent(this, new NoticeEvent(NoticeEvent::TargetedType(), sequence));
}

bool CEfWindow::HasListener(const CEfMessageManagerListener* listener) const {
    if (listener == static_cast<const CEfMessageManagerListener*>(this)) {
        return true;
    }
    std::lock_guard<std::mutex> lock(listenersMutex_);
    return listeners_.count(listener) != 0;
}

bool CEfWindow::OnEfMessageReceived(CEfMessageManagerApp*, int32_t, int32_t, int32_t, int32_t,
                                    int32_t, CEfMessageManagerListener*) {
    return false;
}

EfDropEffect CEfWindow::OnEfWindowDragOver(const CEfDragInfo& /*info*/) {
    return EfDropEffect::kNone;
}

EfDropEffect CEfWindow::OnEfWindowDrop(const CEfDragInfo& /*info*/) {
    return EfDropEffect::kNone;
}

bool CEfWindow::event(QEvent* event) {
    if (event->type() == NoticeEvent::BroadcastType()) {
        HandleBroadcast(static_cast<NoticeEvent*>(event)->Sequence());
        return true;
    }
    if (event->type() == NoticeEvent::TargetedType()) {
        HandleTargeted(static_cast<NoticeEvent*>(event)->Sequence());
        return true;
    }
    return QWidget::event(event);
}

void CEfWindow::showEvent(QShowEvent* event) {
    elapsed_.start();
    timer_.start();
    QWidget::showEvent(event);
}

void CEfWindow::hideEvent(QHideEvent* event) {
    timer_.stop();
    QWidget::hideEvent(event);
}

EfDropEffect CEfWindow::AskDrag(bool drop, QDropEvent* event) {
    CEfDragInfo info = CEfDragInfo::From(event->mimeData(), event->modifiers(), event->source(),
                                         CEfResourceResolver::Default());
    info.position = event->position().toPoint();
    return drop ? OnEfWindowDrop(info) : OnEfWindowDragOver(info);
}

void CEfWindow::dragEnterEvent(QDragEnterEvent* event) {
    const EfDropEffect effect = AskDrag(false, event);
    event->setDropAction(effect == EfDropEffect::kCopy   ? Qt::CopyAction
                         : effect == EfDropEffect::kMove ? Qt::MoveAction
                                                         : Qt::IgnoreAction);
    event->accept();
}

void CEfWindow::dragMoveEvent(QDragMoveEvent* event) {
    const EfDropEffect effect = AskDrag(false, event);
    if (effect == EfDropEffect::kNone) {
        event->ignore();
        return;
    }
    event->setDropAction(effect == EfDropEffect::kCopy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CEfWindow::dropEvent(QDropEvent* event) {
    const EfDropEffect effect = AskDrag(true, event);
    if (effect == EfDropEffect::kNone) {
        event->ignore();
        return;
    }
    event->setDropAction(effect == EfDropEffect::kCopy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CEfWindow::RegisterListener(const CEfMessageManagerListener* listener) {
    std::lock_guard<std::mutex> lock(listenersMutex_);
    listeners_.insert(listener);
}

void CEfWindow::UnregisterListener(const CEfMessageManagerListener* listener) {
    std::lock_guard<std::mutex> lock(listenersMutex_);
    listeners_.erase(listener);
}

void CEfWindow::HandleBroadcast(uint32_t sequence) {
    if (manager_ == nullptr) {
        return;
    }
    const std::optional<CEfMessage> message = manager_->FetchBroadcast(sequence);
    if (!message) {
        return;
    }
    QPointer<CEfWindow> self(this);
    std::vector<QPointer<CEfWindowLayer>> layers(layers_.begin(), layers_.end());
    for (const QPointer<CEfWindowLayer>& layer : layers) {
        if (layer) {
            layer->DeliverMessage(manager_, *message);
        }
    }
    if (self) {
        OnEfMessageReceived(manager_, message->type, message->params[0], message->params[1],
                            message->params[2], message->params[3], message->sender);
    }
}

void CEfWindow::HandleTargeted(uint32_t sequence) {
    if (manager_ == nullptr) {
        return;
    }
    const std::optional<CEfMessage> message = manager_->FetchTargeted(sequence);
    if (!message) {
        return;
    }
    if (message->target == static_cast<CEfMessageManagerListener*>(this)) {
        OnEfMessageReceived(manager_, message->type, message->params[0], message->params[1],
                            message->params[2], message->params[3], message->sender);
        return;
    }
    const std::vector<CEfWindowLayer*> layers = layers_;
    for (CEfWindowLayer* layer : layers) {
        if (layer->DeliverTargeted(manager_, *message)) {
            return;
        }
    }
}

void CEfWindow::OnTimer() {
    const int elapsed = static_cast<int>(elapsed_.restart());
    DeliverTick(elapsed);
}
