#include "ui/framework/CEfControlValueParameter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <charconv>
#include <cstdio>

#include "framework/CEfFontInfo.h"
#include "framework/CEfImage.h"
#include "ui/framework/CEfControlListener.h"
#include "ui/framework/EfFieldHelpers.h"

CEfControlValueParameter::CEfControlValueParameter(const Description& description,
                                                   const CEfFontInfo& font, const CEfImage& upImage,
                                                   const CEfImage& downImage,
                                                   const CEfControlInfo& info, QWidget* parent)
    : CEfControl(description.key, info, parent), font_(font), upImage_(upImage),
      downImage_(downImage), displayOffset_(description.displayOffset) {
    SetRange(description.minimum, description.maximum);
    SetValue(description.minimum, false);
    const int upHeight = ef::StripStateHeight(upImage_);
    const int downHeight = ef::StripStateHeight(downImage_);
    int height = description.height;
    if (height <= 0) {
        height = std::max(font_.lineHeight + 4, upHeight + downHeight);
    }
    setGeometry(description.x, description.y, description.width, height);
    setFocusPolicy(Qt::StrongFocus);
}

std::string CEfControlValueParameter::Text() const {
    return FormatValue(Value());
}

std::string CEfControlValueParameter::FormatValue(int value) const {
    const int shown = value + displayOffset_;
    char text[16];
    std::snprintf(text, sizeof text, Minimum() < 0 && shown > 0 ? "+%d" : "%d", shown);
    return text;
}

std::optional<int> CEfControlValueParameter::ParseTyped(const std::string& text) const {
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) {
        return std::nullopt;
    }
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+') {
        ++first;
    }
    long number = 0;
    auto [ptr, error] = std::from_chars(first, last, number);
    if (error == std::errc::result_out_of_range) {
        number = *first == '-' ? -1000000000L : 1000000000L;
    } else if (error != std::errc() || ptr != last) {
        return std::nullopt;
    }
    number = std::clamp(number, -1000000000L, 1000000000L);
    // A value whose range reaches below zero takes negative numbers as they are; otherwise a
    // number of 0 or less means 0.
    if (Minimum() >= 0 && number <= 0) {
        return 0;
    }
    return static_cast<int>(number - displayOffset_);
}

void CEfControlValueParameter::SetRepeatTiming(int delayMs, int intervalMs) {
    repeatDelay_ = delayMs;
    repeatInterval_ = intervalMs;
}

QRect CEfControlValueParameter::UpRect() const {
    const int upWidth = upImage_.LayoutWidth();
    const int upHeight = ef::StripStateHeight(upImage_);
    const int downWidth = downImage_.LayoutWidth();
    const int downHeight = ef::StripStateHeight(downImage_);
    if (upHeight + downHeight <= height()) {
        const int buttons = std::max(upWidth, downWidth);
        const int top = (height() - upHeight - downHeight) / 2;
        return QRect(width() - buttons, top, upWidth, upHeight);
    }
    return QRect(width() - upWidth, (height() - upHeight) / 2, upWidth, upHeight);
}

QRect CEfControlValueParameter::DownRect() const {
    const int upWidth = upImage_.LayoutWidth();
    const int upHeight = ef::StripStateHeight(upImage_);
    const int downWidth = downImage_.LayoutWidth();
    const int downHeight = ef::StripStateHeight(downImage_);
    if (upHeight + downHeight <= height()) {
        const QRect up = UpRect();
        return QRect(up.x(), up.bottom() + 1, downWidth, downHeight);
    }
    return QRect(width() - upWidth - downWidth, (height() - downHeight) / 2, downWidth, downHeight);
}

QRect CEfControlValueParameter::TextRect() const {
    const int left = std::min(UpRect().x(), DownRect().x());
    return QRect(0, 0, std::max(left - 2, 0), height());
}

void CEfControlValueParameter::Step(int direction) {
    const int next = Clamp(Value() + direction);
    if (next != Value() && Listener() != nullptr) {
        Listener()->OnEfControlChanged(this, next);
    }
}

void CEfControlValueParameter::ApplyTyped(const std::string& text) {
    const std::optional<int> typed = ParseTyped(text);
    if (!typed) {
        return;
    }
    const int value = Clamp(*typed);
    if (value != Value() && Listener() != nullptr) {
        Listener()->OnEfControlChanged(this, value);
    }
}

void CEfControlValueParameter::BeginEdit() {
    if (editor_ != nullptr || !IsControlEnabled()) {
        return;
    }
    ClearRepeat();
    editor_ = ef::MakeLineEditor(this, TextRect(), Text(), 12);
}

void CEfControlValueParameter::EndEdit(bool commit) {
    QLineEdit* editor = editor_;
    if (editor == nullptr) {
        return;
    }
    editor_ = nullptr;
    const std::string typed = ef::FromQString(editor->text());
    editor->removeEventFilter(this);
    editor->hide();
    editor->deleteLater();
    setFocus(Qt::OtherFocusReason);
    update();
    if (commit) {
        ApplyTyped(typed);
    }
}

void CEfControlValueParameter::OnEfTick(int elapsedMs) {
    if (heldDirection_ == 0 || !IsPressedDown()) {
        return;
    }
    holdMs_ += elapsedMs;
    if (holdMs_ > repeatDelay_) {
        repeatMs_ += elapsedMs;
        if (repeatMs_ > repeatInterval_) {
            repeatMs_ = 0;
            Step(heldDirection_);
        }
    }
}

void CEfControlValueParameter::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect box = TextRect();
    ef::PaintFieldBox(painter, box, IsControlEnabled());
    if (editor_ == nullptr) {
        ef::DrawTextIn(painter, font_, box.adjusted(2, 0, -2, 0), Text(),
                       IsControlEnabled() ? ef::TextColor() : ef::DisabledTextColor(),
                       EfTextAlign::kCenter);
    }
    ef::DrawStripState(painter, upImage_, StripState(heldDirection_ > 0), UpRect().topLeft());
    ef::DrawStripState(painter, downImage_, StripState(heldDirection_ < 0), DownRect().topLeft());
    PaintFocusFrame(painter);
}

void CEfControlValueParameter::mouseMoveEvent(QMouseEvent* event) {
    CEfControl::mouseMoveEvent(event);
    if (pressedDirection_ == 0) {
        return;
    }
    const QPoint position = event->position().toPoint();
    const bool overButtons = UpRect().contains(position) || DownRect().contains(position);
    if (!overButtons && heldDirection_ != 0) {
        ClearRepeat();
        heldDirection_ = 0;
        update();
    } else if (overButtons && heldDirection_ == 0) {
        heldDirection_ = pressedDirection_;
        update();
    }
}

void CEfControlValueParameter::leaveEvent(QEvent* event) {
    CEfControl::leaveEvent(event);
    if (heldDirection_ != 0) {
        ClearRepeat();
        heldDirection_ = 0;
        update();
    }
}

void CEfControlValueParameter::OnPressed(QPoint position) {
    if (UpRect().contains(position)) {
        pressedDirection_ = heldDirection_ = 1;
    } else if (DownRect().contains(position)) {
        pressedDirection_ = heldDirection_ = -1;
    } else {
        BeginEdit();
        return;
    }
    ClearRepeat();
    update();
    Step(heldDirection_);
}

void CEfControlValueParameter::OnReleased() {
    pressedDirection_ = 0;
    heldDirection_ = 0;
    ClearRepeat();
    update();
}

void CEfControlValueParameter::OnActivated() {
    BeginEdit();
}

bool CEfControlValueParameter::OnStepKey(int delta) {
    const int next = Clamp(Value() + delta);
    if (next != Value() && Listener() != nullptr) {
        Listener()->OnEfControlChanged(this, next);
    }
    return true;
}

bool CEfControlValueParameter::eventFilter(QObject* watched, QEvent* event) {
    // Enter and Escape end the edit here, so they never reach the control (which would start
    // a new edit).
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            EndEdit(key != Qt::Key_Escape);
            return true;
        }
    }
    // Leaving the editor commits what was typed.
    if (watched == editor_ && event->type() == QEvent::FocusOut) {
        EndEdit(true);
    }
    return CEfControl::eventFilter(watched, event);
}

void CEfControlValueParameter::ClearRepeat() {
    holdMs_ = 0;
    repeatMs_ = 0;
}
