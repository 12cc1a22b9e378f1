#pragma once

#include <optional>

#include "ui/framework/CEfControl.h"

class QLineEdit;

// An integer value with a text read-out and up/down step buttons at its right edge (stacked
// when they fit the height, side by side otherwise). The text shows value + display offset,
// "+%d" when the minimum is negative and the shown value positive. A step asks for value +/- 1
// clamped to the range and sends changed (only when that differs); the value shown changes when
// the page sets it. Holding a step button repeats the step from the layer ticks: the held time
// must exceed the repeat delay, then one step each time the repeat time exceeds the interval.
// A click on the read-out starts typing: a whole number <= 0 gives 0, otherwise the number
// minus the display offset, clamped, sent as changed only when it differs.
class CEfControlValueParameter : public CEfControl {
    Q_OBJECT

public:
    static constexpr int kDefaultRepeatDelayMs = 350;
    static constexpr int kDefaultRepeatIntervalMs = 30;

    struct Description {
        const char* key;
        int x;
        int y;
        int width;
        int height;
        const char* font;
        const char* upImage;
        const char* downImage;
        int minimum;
        int maximum;
        int displayOffset = 0;
    };

    CEfControlValueParameter(const Description& description, const CEfFontInfo& font,
                             const CEfImage& upImage, const CEfImage& downImage,
                             const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    int DisplayOffset() const { return displayOffset_; }
    // The read-out for the current value.
    std::string Text() const override;
    // The read-out for any value.
    std::string FormatValue(int value) const;
    // The value a typed text asks for (before clamping), or nothing when it is no number.
    std::optional<int> ParseTyped(const std::string& text) const;

    void SetRepeatTiming(int delayMs, int intervalMs);
    int RepeatDelay() const { return repeatDelay_; }
    int RepeatInterval() const { return repeatInterval_; }

    // Layout rectangles of the parts, in the control's coordinates.
    QRect TextRect() const;
    QRect UpRect() const;
    QRect DownRect() const;

    // Steps as the step buttons do: +1 or -1.
    void Step(int direction);
    // Applies a typed text as the read-out's editor does.
    void ApplyTyped(const std::string& text);
    bool IsEditing() const { return editor_ != nullptr; }
    void BeginEdit();
    void EndEdit(bool commit);
    QLineEdit* Editor() const { return editor_; }

    void OnEfTick(int elapsedMs) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void OnPressed(QPoint position) override;
    void OnReleased() override;
    void OnActivated() override;
    bool OnStepKey(int delta) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ClearRepeat();

    const CEfFontInfo& font_;
    const CEfImage& upImage_;
    const CEfImage& downImage_;
    int displayOffset_;
    int repeatDelay_ = kDefaultRepeatDelayMs;
    int repeatInterval_ = kDefaultRepeatIntervalMs;
    // +1 or -1 while a step button is held with the pointer over it, else 0.
    int heldDirection_ = 0;
    int pressedDirection_ = 0;
    int holdMs_ = 0;
    int repeatMs_ = 0;
    QLineEdit* editor_ = nullptr;
};
