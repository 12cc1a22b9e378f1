#include "ui/main/CTarnMainMenu.h"

#include <QAction>
#include <QMenu>
#include <array>

#include "app/CTarnCommandId.h"

namespace {

struct MenuItem {
    const char* menu;
    const char* text;
    int command;
    // Empty for none.
    const char* shortcut;
    bool separatorBefore;
};

constexpr std::array<MenuItem, 13> kItems{{
    {"&File", "&New\tCtrl+N", kCmdNew, "Ctrl+N", false},
    {"&File", "&Open...\tCtrl+O", kCmdOpen, "Ctrl+O", false},
    {"&File", "&Save\tCtrl+S", kCmdSave, "Ctrl+S", false},
    {"&File", "Save &As...\tCtrl+Shift+S", kCmdSaveAs, "Ctrl+Shift+S", false},
    {"&File", "E&xit", kCmdExit, "", true},
    {"&Edit", "Cut\tCtrl+X", kCmdCut, "Ctrl+X", false},
    {"&Edit", "Copy\tCtrl+C", kCmdCopy, "Ctrl+C", false},
    {"&Edit", "Paste\tCtrl+V", kCmdPaste, "Ctrl+V", false},
    {"&Edit", "Clear", kCmdClear, "", false},
    {"&MIDI", "&Receive All Data\tCtrl+R", kCmdReceiveAll, "Ctrl+R", false},
    {"&MIDI", "&Transmit All Data\tCtrl+T", kCmdTransmitAll, "Ctrl+T", false},
    {"&MIDI", "Preferences...", kCmdPreferences, "", true},
    {"&Help", "&About...", kCmdAbout, "", false},
}};

} // namespace

CTarnMainMenu::CTarnMainMenu(QWidget* parent) : QMenuBar(parent) {
    setObjectName("MenuBar");
    setNativeMenuBar(false);
    QMenu* menu = nullptr;
    QString title;
    for (const MenuItem& item : kItems) {
        if (!menu || title != item.menu) {
            title = item.menu;
            menu = addMenu(title);
            connect(menu, &QMenu::aboutToShow, this, &CTarnMainMenu::MenuAboutToOpen);
        }
        if (item.separatorBefore) {
            menu->addSeparator();
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.command);
        if (*item.shortcut) {
            action->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
            // The accelerators work while the window has the focus, whichever control holds it.
            action->setShortcutContext(Qt::WindowShortcut);
        }
        const int command = item.command;
        connect(action, &QAction::triggered, this,
                [this, command] { emit CommandChosen(command); });
        actions_[command] = action;
    }
}

QAction* CTarnMainMenu::Action(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void CTarnMainMenu::SetCommandEnabled(int command, bool enabled) {
    if (QAction* action = Action(command)) {
        action->setEnabled(enabled);
    }
}
