#pragma once

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CEfMessage.h"
#include "framework/CEfMessageManagerListener.h"
#include "ui/framework/CEfControl.h"
#include "ui/framework/CEfControlListener.h"

class CEfContainerLayer;
class CEfResourceResolver;
class CEfWindow;
struct CEfImage;

// A rectangle of a window (a child widget placed in its parent layer or the window's content
// area) with an optional background picture and its controls. It is the control listener of its
// controls, a message listener and a timer listener; pages override the On... operations.
// Hidden layers get no input, messages or ticks and keep their control values.
// Drags over a layer are offered to the control under the pointer, then to the layer itself
// (control null), then to its containers, then to the window (CEfWindow::OnEfWindowDragOver).
class CEfWindowLayer : public QWidget, public CEfControlListener, public CEfMessageManagerListener {
    Q_OBJECT

public:
    explicit CEfWindowLayer(QWidget* parent = nullptr);
    ~CEfWindowLayer() override;

    // Position and size in the parent, in layout pixels.
    void SetLayerRect(const QRect& rect);
    void SetBackground(const CEfImage* picture);
    const CEfImage* Background() const { return background_; }

    // Resolver for names in description tables; CEfResourceResolver::Default() unless set.
    CEfResourceResolver* Resolver() const;
    void SetResolver(CEfResourceResolver* resolver) { resolver_ = resolver; }

    // Takes the control into the layer (as a child widget), makes the layer its listener.
    void AddControl(CEfControl* control);
    const std::vector<CEfControl*>& Controls() const { return controls_; }
    // The control with the key, or null.
    CEfControl* FindControl(std::string_view key) const;
    template <class T> T* FindControlAs(std::string_view key) const {
        return qobject_cast<T*>(FindControl(key));
    }

    // Convenience setters by key; false when no control has the key.
    bool SetControlValue(std::string_view key, int value, bool redraw = true);
    bool SetControlText(std::string_view key, const std::string& text, bool redraw = true);
    bool SetControlEnabled(std::string_view key, bool enabled, bool redraw = true);
    bool SetControlVisible(std::string_view key, bool visible, bool redraw = true);

    bool IsLayerVisible() const { return !isHidden(); }
    // Shows or hides the layer (through its container when it has one).
    void ShowLayer();
    void HideLayer();

    // The window holding the layer, or null while it is not in one.
    CEfWindow* Window() const { return window_; }
    CEfContainerLayer* Container() const { return container_; }

    // Delivery from the window (user-interface thread). A message goes to the layer itself,
    // then a container passes it on to its visible children; a tick first advances the
    // controls (auto-repeat), then the layer, then the visible children.
    virtual void DeliverMessage(CEfMessageManagerApp* manager, const CEfMessage& message);
    virtual void DeliverTick(int elapsedMs);
    // Hands a targeted message to the layer whose listener is `target`; whether it was found.
    virtual bool DeliverTargeted(CEfMessageManagerApp* manager, const CEfMessage& message);

    // Message listener: the editor's listeners never consume a message.
    bool OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1, int32_t p2,
                             int32_t p3, int32_t p4, CEfMessageManagerListener* sender) override;
    // Timer listener: milliseconds since the previous tick.
    virtual void OnEfLayerTick(int elapsedMs);
    // Called after the layer was shown (pages refresh here).
    virtual void OnEfLayerShown();

    // Window (content area) coordinates of the layer's top-left.
    QPoint WindowPosition() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class CEfContainerLayer;
    friend class CEfWindow;
    // Sets the window of this layer and its children (null detaches).
    virtual void AttachWindow(CEfWindow* window);
    // The control of this layer under `position` (layer coordinates), or null.
    CEfControl* ControlAt(const QPoint& position) const;
    // Asks the control under the pointer, the layer, its containers and the window in turn for
    // a drag answer (or, with `drop`, to take the drop) until one answers other than kNone.
    EfDropEffect AskDrag(bool drop, const QPoint& position, const QMimeData* data,
                         Qt::KeyboardModifiers modifiers, QObject* source);

    const CEfImage* background_ = nullptr;
    CEfResourceResolver* resolver_ = nullptr;
    std::vector<CEfControl*> controls_;
    CEfWindow* window_ = nullptr;
    CEfContainerLayer* container_ = nullptr;
};
