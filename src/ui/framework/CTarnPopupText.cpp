#include "ui/framework/CTarnPopupText.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <algorithm>

#include "framework/CEfFontInfo.h"
#include "framework/CEfImage.h"
#include "ui/framework/CEfControlListener.h"
#include "ui/framework/EfFieldHelpers.h"

CTarnPopupText::CTarnPopupText(const Description& description, const CEfFontInfo& font,
                               const CEfImage* buttonImage, std::vector<std::string> menuTexts,
                               const CEfControlInfo& info, QWidget* parent)
    : CTarnPopupText(description.key, description.x, description.y, description.width, font,
                     buttonImage, std::move(menuTexts), info, parent) {}

CTarnPopupText::CTarnPopupText(const std::string& key, int x, int y, int width,
                               const CEfFontInfo& font, const CEfImage* buttonImage,
                               std::vector<std::string> menuTexts, const CEfControlInfo& info,
                               QWidget* parent)
    : CEfControl(key, info, parent), font_(font), buttonImage_(buttonImage) {
    const int buttonHeight = buttonImage_ != nullptr ? ef::StripStateHeight(*buttonImage_) : 0;
    setGeometry(x, y, width, std::max(buttonHeight, font_.lineHeight + 4));
    setFocusPolicy(Qt::StrongFocus);
    SetMenuTexts(std::move(menuTexts));
    SetValue(0, false);
}

void CTarnPopupText::SetMenuTexts(std::vector<std::string> texts) {
    menuTexts_ = std::move(texts);
    SetRange(0, static_cast<int>(menuTexts_.size()) - 1);
    update();
}

std::vector<std::string> CTarnPopupText::OfferedTexts() const {
    const size_t count =
        std::min(menuTexts_.size(), static_cast<size_t>(std::max(Maximum() + 1, 0)));
    return std::vector<std::string>(menuTexts_.begin(),
                                    menuTexts_.begin() + static_cast<std::ptrdiff_t>(count));
}

QMenu* CTarnPopupText::OpenMenu() {
    const std::vector<std::string> offered = OfferedTexts();
    if (offered.empty() || !IsControlEnabled()) {
        return nullptr;
    }
    if (menu_ != nullptr) {
        menu_->close();
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (size_t i = 0; i < offered.size(); ++i) {
        QString title = ef::ToQString(offered[i]);
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* action = menu->addAction(title);
        action->setCheckable(true);
        action->setChecked(static_cast<int>(i) == Value());
        const int index = static_cast<int>(i);
        connect(action, &QAction::triggered, this, [this, index] { Choose(index); });
        if (static_cast<int>(i) == Value()) {
            menu->setActiveAction(action);
        }
    }
    connect(menu, &QMenu::aboutToHide, this, [this, menu] {
        if (menu_ == menu) {
            menu_ = nullptr;
        }
    });
    menu_ = menu;
    menu->popup(mapToGlobal(QPoint(0, 0)));
    return menu;
}

void CTarnPopupText::Choose(int index) {
    const int value = Clamp(index);
    if (value != Value() && Listener() != nullptr) {
        Listener()->OnEfControlChanged(this, value);
    }
}

std::string CTarnPopupText::ShownText() const {
    return CEfControl::Text();
}

void CTarnPopupText::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QRect box = rect();
    if (buttonImage_ != nullptr) {
        const int buttonWidth = buttonImage_->LayoutWidth();
        const int buttonHeight = ef::StripStateHeight(*buttonImage_);
        box.setRight(width() - buttonWidth - 1);
        ef::PaintFieldBox(painter, box, IsControlEnabled());
        ef::DrawStripState(painter, *buttonImage_, StripState(menu_ != nullptr),
                           QPoint(width() - buttonWidth, (height() - buttonHeight) / 2));
    } else {
        ef::PaintFieldBox(painter, box, IsControlEnabled());
    }
    ef::DrawTextIn(painter, font_, box.adjusted(3, 0, -2, 0), ShownText(),
                   IsControlEnabled() ? ef::TextColor() : ef::DisabledTextColor(),
                   EfTextAlign::kLeft);
    PaintFocusFrame(painter);
}

void CTarnPopupText::OnPressed(QPoint /*position*/) {
    OpenMenu();
}

// The menu opened on the press; the release belongs to it.
void CTarnPopupText::OnReleasedInside(QPoint /*position*/) {}

void CTarnPopupText::OnActivated() {
    OpenMenu();
}

bool CTarnPopupText::OnStepKey(int delta) {
    if (OfferedTexts().empty()) {
        return false;
    }
    Choose(Value() + delta);
    return true;
}
