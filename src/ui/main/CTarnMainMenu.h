#pragma once

#include <QKeySequence>
#include <QMenuBar>
#include <map>

#include "app/CEfMenuBar.h"

class QAction;

// The main window's menu bar (File, Edit, MIDI, Help) with the accelerators of its items. Each
// item's action carries its command identifier (CTarnCommandId); the host enables and disables
// items through CEfMenuBarSink.
class CTarnMainMenu : public QMenuBar, public CEfMenuBarSink {
    Q_OBJECT

public:
    explicit CTarnMainMenu(QWidget* parent = nullptr);

    // The action of a command, or null.
    QAction* Action(int command) const;
    void SetCommandEnabled(int command, bool enabled) override;

signals:
    // An item was chosen (by menu or accelerator).
    void CommandChosen(int command);
    // One of the menus is about to open.
    void MenuAboutToOpen();

private:
    std::map<int, QAction*> actions_;
};
