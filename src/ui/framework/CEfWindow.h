#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/CEfMessageManagerListener.h"
#include "framework/CEfMessageWindow.h"
#include "ui/framework/CEfDragInfo.h"

class CEfMessageManagerApp;
class CEfWindowLayer;

// A top-level window holding ordered layers in its content area (a child widget of fixed
// layout size below whatever the subclass puts above it, e.g. a menu bar through layout()).
// Message notices may arrive from any thread; they are queued as Qt events and handled on the
// user-interface thread: the broadcast message is fetched and handed to every layer in order
// and then to the window's own listener operation; a targeted message only to its target. A
// 30 ms timer runs while the window is shown and passes the elapsed milliseconds to the layers.
class CEfWindow : public QWidget, public CEfMessageWindow, public CEfMessageManagerListener {
    Q_OBJECT

public:
    static constexpr int kTimerIntervalMs = 30;

    explicit CEfWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~CEfWindow() override;

    // The widget the layers live in; its size is the layout size.
    QWidget* ContentArea() const { return content_; }
    void SetContentSize(const QSize& size);

    // Appends a top-level layer (shown), placed by its layer rectangle in the content area.
    void AddLayer(CEfWindowLayer* layer);
    // Gives the layer up (still a child widget) and detaches it and its children from the
    // window; whether it was a top-level layer.
    bool RemoveLayer(CEfWindowLayer* layer);
    const std::vector<CEfWindowLayer*>& Layers() const { return layers_; }

    // Registers with the manager (and unregisters from a previous one); null unregisters.
    void SetMessageManager(CEfMessageManagerApp* manager);
    CEfMessageManagerApp* MessageManager() const { return manager_; }

    // While switching, the content is not repainted (pages are being exchanged).
    void SetSwitching(bool switching);
    bool IsSwitching() const { return switching_; }

    // Passes a tick to every layer, as the timer does.
    void DeliverTick(int elapsedMs);
    bool IsTimerRunning() const { return timer_.isActive(); }

    // CEfMessageWindow (any thread).
    void PostBroadcastNotice(uint32_t sequence) override;
    void PostTargetedNotice(uint32_t sequence) override;
    bool HasListener(const CEfMessageManagerListener* listener) const override;

    // The window's own listener: after all layers. Never consumes.
    bool OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1, int32_t p2,
                             int32_t p3, int32_t p4, CEfMessageManagerListener* sender) override;

    // Drags no layer took (files dropped on the window); kNone refuses.
    virtual EfDropEffect OnEfWindowDragOver(const CEfDragInfo& info);
    virtual EfDropEffect OnEfWindowDrop(const CEfDragInfo& info);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class CEfWindowLayer;
    void RegisterListener(const CEfMessageManagerListener* listener);
    void UnregisterListener(const CEfMessageManagerListener* listener);
    void HandleBroadcast(uint32_t sequence);
    void HandleTargeted(uint32_t sequence);
    void OnTimer();
    EfDropEffect AskDrag(bool drop, QDropEvent* event);

    QWidget* content_;
    std::vector<CEfWindowLayer*> layers_;
    CEfMessageManagerApp* manager_ = nullptr;
    bool switching_ = false;
    QTimer timer_;
    QElapsedTimer elapsed_;
    // Listeners of this window's layers, read by posting threads.
    mutable std::mutex listenersMutex_;
    std::unordered_set<const CEfMessageManagerListener*> listeners_;
};
