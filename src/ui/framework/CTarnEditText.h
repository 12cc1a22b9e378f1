#pragma once

#include "ui/framework/CEfControl.h"

class QLineEdit;

// An editable text in a bitmap font. A click (or Enter) starts editing in a line editor over
// the control; Enter or leaving the editor commits and sends text changed (only when the text
// differs), Escape cancels. The shown text changes when the page sets it.
class CTarnEditText : public CEfControl {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        int width;
        int height;
        const char* font;
        // Longest text the editor accepts; 0 for no limit.
        int maxLength = 0;
        EfTextAlign align = EfTextAlign::kLeft;
    };

    CTarnEditText(const Description& description, const CEfFontInfo& font,
                  const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    bool IsEditing() const { return editor_ != nullptr; }
    void BeginEdit();
    // Ends editing; commit false discards the typed text.
    void EndEdit(bool commit);
    // The line editor while editing, else null.
    QLineEdit* Editor() const { return editor_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void OnPressed(QPoint position) override;
    void OnActivated() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const CEfFontInfo& font_;
    int maxLength_;
    EfTextAlign align_;
    QLineEdit* editor_ = nullptr;
};
