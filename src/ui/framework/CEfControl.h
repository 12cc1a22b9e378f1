#pragma once

#include <QWidget>
#include <climits>
#include <string>

#include "ui/framework/CEfControlInfo.h"
#include "ui/framework/EfPicturePainter.h"

class CEfControlListener;
struct CEfFontInfo;
struct CEfImage;

// Base of every control: a key unique within its layer (also the widget's objectName), the
// page's information record, an integer value with an optional range, a text, its own enabled
// and visible flags, and the listener (its layer) that receives its events. Controls paint
// themselves from picture strips (3 states stacked: normal, pressed or on, disabled) and bitmap
// fonts; every size is in layout pixels.
class CEfControl : public QWidget {
    Q_OBJECT

public:
    CEfControl(const std::string& key, const CEfControlInfo& info, QWidget* parent = nullptr);
    ~CEfControl() override;

    const std::string& Key() const { return key_; }
    const CEfControlInfo& Info() const { return info_; }
    void SetInfo(const CEfControlInfo& info) { info_ = info; }

    int Value() const { return value_; }
    // Stores the value as given; redraw false leaves the repaint to the caller.
    virtual void SetValue(int value, bool redraw = true);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    void SetRange(int minimum, int maximum);
    // The value clamped to the range.
    int Clamp(int value) const;

    // The text the control shows (for pop-ups the list text at the value).
    virtual std::string Text() const { return text_; }
    virtual void SetText(const std::string& text, bool redraw = true);

    // The control's own flags, independent of its layer's and window's state.
    bool IsControlEnabled() const { return enabled_; }
    void SetControlEnabled(bool enabled, bool redraw = true);
    bool IsControlVisible() const { return !isHidden(); }
    void SetControlVisible(bool visible, bool redraw = true);

    CEfControlListener* Listener() const { return listener_; }
    void SetListener(CEfControlListener* listener) { listener_ = listener; }

    // A drag source reports begin-drag when the pointer moves with the button down.
    bool IsDragSource() const { return dragSource_; }
    void SetDragSource(bool on) { dragSource_ = on; }

    // Whether the pointer button is down on the control now, and whether the pointer is over it.
    bool IsPressedDown() const { return pressed_; }
    bool IsPointerInside() const { return pointerInside_; }

    // The layer's 30 ms tick, while the layer is shown.
    virtual void OnEfTick(int elapsedMs);

    // The class name, as reported in control dumps.
    QString KindName() const;

protected:
    // Picture strip state for the current flags: 2 disabled, 1 when `on`, else 0.
    int StripState(bool on) const;
    void PaintFocusFrame(class QPainter& painter) const;
    // Called on press and release; base handles pressed/clicked, drag start and hover.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // Hooks for the kinds: the pointer went down / was released inside / activated by keyboard.
    virtual void OnPressed(QPoint position);
    virtual void OnReleasedInside(QPoint position);
    virtual void OnReleased();
    // Space or Enter; by default the same as a click.
    virtual void OnActivated();
    // Arrow and page keys: a step of `delta` (page keys step by 10); false when not handled.
    virtual bool OnStepKey(int delta);

    // Runs the drag (blocking until it ends) when the listener hands data for it.
    void StartDrag(QPoint position);

private:
    std::string key_;
    CEfControlInfo info_;
    int value_ = 0;
    int minimum_ = INT_MIN;
    int maximum_ = INT_MAX;
    std::string text_;
    bool enabled_ = true;
    bool dragSource_ = false;
    bool pressed_ = false;
    bool pointerInside_ = false;
    bool dragStarted_ = false;
    QPoint pressPosition_;
    CEfControlListener* listener_ = nullptr;
};
