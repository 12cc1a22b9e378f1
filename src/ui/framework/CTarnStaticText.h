#pragma once

#include <QColor>

#include "ui/framework/CEfControl.h"

// A text in a bitmap font; the page changes the text (captions, names, summaries). With
// kInteractive it takes focus and reports pressed and clicked; with kSteppable the wheel and the
// arrow keys report changed with 0 (step down) or 2 (step up).
class CTarnStaticText : public CEfControl {
    Q_OBJECT

public:
    enum Flags : unsigned { kPlain = 0, kInteractive = 1, kSteppable = 2 };

    struct Description {
        const char* key;
        int x;
        int y;
        int width;
        int height;
        const char* font;
        const char* text;
        EfTextAlign align = EfTextAlign::kLeft;
        unsigned flags = kPlain;
    };

    CTarnStaticText(const Description& description, const CEfFontInfo& font,
                    const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    const CEfFontInfo& Font() const { return font_; }
    void SetTextColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool OnStepKey(int delta) override;

private:
    const CEfFontInfo& font_;
    EfTextAlign align_;
    unsigned flags_;
    QColor color_;
};
