#pragma once

#include <string>
#include <vector>

#include "ui/framework/CEfControl.h"

class QMenu;

// A text with a menu button: a click (or Space/Enter) opens a menu of the list's texts at the
// control's top-left, the current value checked; choosing entry i sends changed with i clamped
// to the range, only when it differs from the value. An empty list opens no menu. The shown text
// is whatever the page sets.
class CTarnPopupText : public CEfControl {
    Q_OBJECT

public:
    struct Description {
        const char* key;
        int x;
        int y;
        int width;
        const char* font;
        // Menu button picture strip; null for none.
        const char* buttonImage;
        // String-table keyword of the menu texts.
        const char* list;
    };

    // The range becomes 0 to texts.size() - 1.
    CTarnPopupText(const Description& description, const CEfFontInfo& font,
                   const CEfImage* buttonImage, std::vector<std::string> menuTexts,
                   const CEfControlInfo& info = {}, QWidget* parent = nullptr);

    const std::vector<std::string>& MenuTexts() const { return menuTexts_; }
    void SetMenuTexts(std::vector<std::string> texts);
    // The texts the menu offers now: the first min(count, maximum + 1).
    std::vector<std::string> OfferedTexts() const;
    // Opens the menu (non-blocking); null when the list is empty.
    QMenu* OpenMenu();
    // The open menu, or null.
    QMenu* Menu() const { return menu_; }
    // What choosing entry `index` does.
    void Choose(int index);

protected:
    CTarnPopupText(const std::string& key, int x, int y, int width, const CEfFontInfo& font,
                   const CEfImage* buttonImage, std::vector<std::string> menuTexts,
                   const CEfControlInfo& info, QWidget* parent);
    void paintEvent(QPaintEvent* event) override;
    void OnPressed(QPoint position) override;
    void OnReleasedInside(QPoint position) override;
    void OnActivated() override;
    bool OnStepKey(int delta) override;
    // The text shown in the box.
    virtual std::string ShownText() const;

    const CEfFontInfo& font_;

private:
    const CEfImage* buttonImage_;
    std::vector<std::string> menuTexts_;
    QMenu* menu_ = nullptr;
};
