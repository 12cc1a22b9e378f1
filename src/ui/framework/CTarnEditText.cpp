#include "ui/framework/CTarnEditText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "framework/CEfFontInfo.h"
#include "ui/framework/CEfControlListener.h"
#include "ui/framework/EfFieldHelpers.h"

CTarnEditText::CTarnEditText(const Description& description, const CEfFontInfo& font,
                             const CEfControlInfo& info, QWidget* parent)
    : CEfControl(description.key, info, parent), font_(font), maxLength_(description.maxLength),
      align_(description.align) {
    const int height = description.height > 0 ? description.height : font_.lineHeight + 4;
    setGeometry(description.x, description.y, description.width, height);
    setFocusPolicy(Qt::StrongFocus);
}

void CTarnEditText::BeginEdit() {
    if (editor_ != nullptr || !IsControlEnabled()) {
        return;
    }
    editor_ = ef::MakeLineEditor(this, rect(), Text(), maxLength_);
}

void CTarnEditText::EndEdit(bool commit) {
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
    if (commit && typed != Text() && Listener() != nullptr) {
        Listener()->OnEfControlTextChanged(this, typed);
    }
}

void CTarnEditText::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    ef::PaintFieldBox(painter, rect(), IsControlEnabled());
    ef::DrawTextIn(painter, font_, rect().adjusted(3, 0, -3, 0), Text(),
                   IsControlEnabled() ? ef::TextColor() : ef::DisabledTextColor(), align_);
    PaintFocusFrame(painter);
}

void CTarnEditText::OnPressed(QPoint /*position*/) {
    BeginEdit();
}

void CTarnEditText::OnActivated() {
    BeginEdit();
}

bool CTarnEditText::eventFilter(QObject* watched, QEvent* event) {
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
