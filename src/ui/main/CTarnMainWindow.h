#pragma once

#include <QPoint>
#include <QRect>
#include <string>

#include "app/CTarnHostWindow.h"
#include "framework/CEfCriticalSection.h"
#include "ui/framework/CEfWindow.h"

class CTarnAboutWindow;
class CTarnHost;
class CTarnMainContainer;
class CTarnMainMenu;

// The editor's main window: the menu bar above a content area of exactly 700 x 526 holding the
// main container (toolbar and pages). Its title follows the current all-data file and its
// modified flag; files dropped on it open by path; closing it runs Exit.
class CTarnMainWindow : public CEfWindow, public CTarnHostWindow {
    Q_OBJECT

public:
    static constexpr int kContentWidth = 700;
    static constexpr int kContentHeight = 526;
    static constexpr size_t kMaxDropPath = 1023;

    explicit CTarnMainWindow(CTarnHost& host, QWidget* parent = nullptr);
    ~CTarnMainWindow() override;

    CTarnMainMenu* Menu() const { return menu_; }
    CTarnMainContainer* Container() const { return container_; }
    // Null until the about window was first shown.
    CTarnAboutWindow* AboutWindow() const { return about_; }

    // Rebuilds the title from the host.
    void UpdateTitle();
    // Enables the Edit items for the current view and the clipboard's contents.
    void UpdateEditMenu();

    // A stored position moved so that the whole window lies on the work area.
    static QPoint ClampedPosition(const QPoint& stored, const QRect& workArea,
                                  const QSize& size = QSize(kContentWidth, kContentHeight));
    // Whether a dropped file is one the window takes (".t2a" or ".txa").
    static bool IsDroppableFile(const std::string& path);

    // CTarnHostWindow
    void EnableInput(bool enabled) override;
    void EndLoop() override;
    void ShowAboutWindow() override;
    bool RunPreferencesDialog(CTarnMidiPreferencesForm& form) override;
    CEfWindow* DialogParent() override { return this; }

    EfDropEffect OnEfWindowDragOver(const CEfDragInfo& info) override;
    EfDropEffect OnEfWindowDrop(const CEfDragInfo& info) override;
    bool OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1, int32_t p2,
                             int32_t p3, int32_t p4, CEfMessageManagerListener* sender) override;

    // Brings the window to the front (a second start of the program).
    void Raise();

signals:
    // Exit was confirmed: the application ends its loop.
    void LoopEndRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void RememberNormalPosition();
    // The first droppable file of a drag, or empty.
    static std::string DroppableFile(const CEfDragInfo& info);

    CTarnHost& host_;
    CTarnMainMenu* menu_;
    CTarnMainContainer* container_;
    CTarnAboutWindow* about_ = nullptr;
    bool endingLoop_ = false;

    CEfCriticalSection dropLock_{"FileDropped"};
    bool dropPending_ = false;
    std::string dropPath_;
};
