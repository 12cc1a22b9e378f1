#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "EditorFixture.h"
#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnCommandId.h"
#include "data/CTarnAllData.h"
#include "files/CTarnAllDataIO.h"
#include "files/CTarnGlobalDataIO.h"
#include "framework/CEfMessage.h"
#include "ui/framework/CEfDragInfo.h"
#include "ui/framework/CTarnOnOffButton.h"
#include "ui/main/CTarnAboutWindow.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/main/CTarnMainMenu.h"
#include "ui/main/CTarnSystemLayer.h"

namespace {

using MainWindowLook = EditorFixture;
using MainWindowMenu = EditorFixture;
using MainWindowDrop = EditorFixture;
using MainWindowPages = EditorFixture;

CEfDragInfo FilesDrag(std::vector<std::string> files) {
    CEfDragInfo info;
    info.files = std::move(files);
    return info;
}

} // namespace

TEST_F(MainWindowLook, TitleFollowsTheFileAndTheModifiedFlag) {
    EXPECT_EQ(window->windowTitle(), "Untitled - TALVEX PRO+ Editor");
    host->SetModified(true);
    ProcessEvents();
    EXPECT_EQ(window->windowTitle(), "Untitled * - TALVEX PRO+ Editor");
    dialogs.Choose(dir.File("live set.t2a"));
    ASSERT_TRUE(host->Save());
    ProcessEvents();
    EXPECT_EQ(window->windowTitle(), "live set.t2a - TALVEX PRO+ Editor");
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(MainWindowLook, ContentIsExactly700By526BelowTheMenuBar) {
    EXPECT_EQ(window->ContentArea()->size(), QSize(700, 526));
    EXPECT_EQ(window->ContentArea()->y(), window->Menu()->height());
    EXPECT_EQ(window->Container()->SystemLayer()->size(), QSize(700, 87));
    ASSERT_NE(window->Container()->Page(0), nullptr);
    EXPECT_EQ(window->Container()->Page(0)->geometry(), QRect(0, 87, 700, 439));
}

TEST_F(MainWindowLook, StoredPositionIsClampedToTheWorkArea) {
    const QRect workArea(0, 0, 1920, 1040);
    EXPECT_EQ(CTarnMainWindow::ClampedPosition({5000, 50}, workArea), QPoint(1220, 50));
    EXPECT_EQ(CTarnMainWindow::ClampedPosition({50, 900}, workArea), QPoint(50, 514));
    EXPECT_EQ(CTarnMainWindow::ClampedPosition({-40, -3}, workArea), QPoint(0, 0));
    // A work area smaller than the window puts it at the corner rather than off screen.
    EXPECT_EQ(CTarnMainWindow::ClampedPosition({10, 10}, QRect(0, 0, 640, 480)), QPoint(0, 0));
}

TEST_F(MainWindowLook, AboutWindowIsCentredAndOnlyHidesOnClose) {
    EXPECT_EQ(CTarnAboutWindow::Placement(QRect(0, 0, 1920, 1040)), QPoint(810, 370));
    EXPECT_EQ(CTarnAboutWindow::Placement(QRect(0, 0, 500, 320)), QPoint(100, 0));

    ASSERT_TRUE(host->RunCommand(kCmdAbout));
    CTarnAboutWindow* about = window->AboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "About TALVEX PRO+ Editor");
    EXPECT_EQ(about->ContentArea()->size(), QSize(300, 300));
    auto* version = about->Layers().front()->FindControl("VersionInfo");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->Text(), "1.0.0");
    about->close();
    EXPECT_FALSE(about->isVisible());
    host->About();
    EXPECT_EQ(window->AboutWindow(), about);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(MainWindowMenu, ItemsCarryTheirTextsAndAccelerators) {
    struct Expected {
        int command;
        const char* text;
        const char* key;
    };
    const Expected expected[] = {
        {kCmdNew, "&New\tCtrl+N", "Ctrl+N"},
        {kCmdOpen, "&Open...\tCtrl+O", "Ctrl+O"},
        {kCmdSave, "&Save\tCtrl+S", "Ctrl+S"},
        {kCmdSaveAs, "Save &As...\tCtrl+Shift+S", "Ctrl+Shift+S"},
        {kCmdExit, "E&xit", ""},
        {kCmdCut, "Cut\tCtrl+X", "Ctrl+X"},
        {kCmdCopy, "Copy\tCtrl+C", "Ctrl+C"},
        {kCmdPaste, "Paste\tCtrl+V", "Ctrl+V"},
        {kCmdClear, "Clear", ""},
        {kCmdReceiveAll, "&Receive All Data\tCtrl+R", "Ctrl+R"},
        {kCmdTransmitAll, "&Transmit All Data\tCtrl+T", "Ctrl+T"},
        {kCmdPreferences, "Preferences...", ""},
        {kCmdAbout, "&About...", ""},
    };
    for (const Expected& item : expected) {
        QAction* action = window->Menu()->Action(item.command);
        ASSERT_NE(action, nullptr) << item.text;
        EXPECT_EQ(action->text(), QString::fromUtf8(item.text));
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromUtf8(item.key))) << item.text;
        // The window owns the accelerators too, so they work with the menus closed.
        EXPECT_TRUE(window->actions().contains(action)) << item.text;
    }
    QStringList titles;
    for (QAction* menu : window->Menu()->actions()) {
        titles << menu->text();
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&MIDI", "&Help"}));
}

TEST_F(MainWindowMenu, EditItemsFollowThePageAndTheClipboard) {
    CTarnMainMenu& menu = *window->Menu();
    const std::string programFormat =
        CTarnClipboardTypeManager::Instance()->GetMimeType("ProgramMemory");
    ASSERT_FALSE(programFormat.empty());

    QApplication::clipboard()->clear();
    ProcessEvents();
    window->UpdateEditMenu();
    EXPECT_TRUE(menu.Action(kCmdCut)->isEnabled());
    EXPECT_FALSE(menu.Action(kCmdPaste)->isEnabled());

    auto* data = new QMimeData;
    data->setData(QString::fromStdString(programFormat), QByteArray(40, '\0'));
    QApplication::clipboard()->setMimeData(data);
    ProcessEvents();
    ASSERT_TRUE(host->SetPage(1));
    window->UpdateEditMenu();
    EXPECT_TRUE(menu.Action(kCmdPaste)->isEnabled());

    ASSERT_TRUE(host->SetPage(2));
    ASSERT_TRUE(host->SetGlobalTab(0));
    window->UpdateEditMenu();
    for (int command : {kCmdCut, kCmdCopy, kCmdPaste, kCmdClear}) {
        EXPECT_FALSE(menu.Action(command)->isEnabled()) << command;
    }
    QApplication::clipboard()->clear();
}

TEST_F(MainWindowMenu, CloseWithChangesAndCancelKeepsTheWindow) {
    host->SetModified(true);
    alerts.answer = 0;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].text, "Save changes to Untitled ?");

    alerts.answer = 3;
    int ended = 0;
    QObject::connect(window, &CTarnMainWindow::LoopEndRequested, [&] { ++ended; });
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindowDrop, TakesOnlyAllDataFiles) {
    EXPECT_TRUE(CTarnMainWindow::IsDroppableFile("/a/b/set.t2a"));
    EXPECT_TRUE(CTarnMainWindow::IsDroppableFile("/a/b/OLD.TXA"));
    EXPECT_FALSE(CTarnMainWindow::IsDroppableFile("/a/b/global.t2g"));
    EXPECT_FALSE(CTarnMainWindow::IsDroppableFile("/a/b.t2a/readme"));
    EXPECT_EQ(window->OnEfWindowDragOver(FilesDrag({"/x/global.t2g"})), EfDropEffect::kNone);
    EXPECT_EQ(window->OnEfWindowDragOver(FilesDrag({"/x/global.t2g", "/x/set.t2a"})),
              EfDropEffect::kCopy);
    EXPECT_EQ(window->OnEfWindowDrop(FilesDrag({"/x/loop.wav"})), EfDropEffect::kNone);
}

TEST_F(MainWindowDrop, ADroppedFileOpensOnceTheDropHasEnded) {
    const std::string path = dir.File("dropped.t2a");
    {
        CTarnAllData data;
        ASSERT_EQ(CTarnAllDataIO().SavePath(data, path), CEfFileIO::kSucceeded);
    }
    EXPECT_EQ(window->OnEfWindowDrop(FilesDrag({path})), EfDropEffect::kCopy);
    // A second drop while the first is pending is refused.
    EXPECT_EQ(window->OnEfWindowDrop(FilesDrag({path})), EfDropEffect::kNone);
    EXPECT_EQ(window->windowTitle(), "Untitled - TALVEX PRO+ Editor");
    ProcessEvents();
    EXPECT_EQ(window->windowTitle(), "dropped.t2a - TALVEX PRO+ Editor");
    EXPECT_EQ(window->OnEfWindowDrop(FilesDrag({path})), EfDropEffect::kCopy);
    ProcessEvents();
}

TEST_F(MainWindowPages, TabsSwitchPagesAsOneGroup) {
    CTarnMainContainer& container = *window->Container();
    CTarnSystemLayer& toolbar = *container.SystemLayer();
    for (const char* key : {"BtnOpen", "BtnSave", "BtnReceive", "BtnTransmit"}) {
        EXPECT_NE(toolbar.FindControl(key), nullptr) << key;
    }
    auto tab = [&](const char* key) { return toolbar.FindControl(key); };
    ASSERT_NE(tab("PageSampleLib"), nullptr);
    ASSERT_NE(tab("PageProgMemory"), nullptr);
    ASSERT_NE(tab("PageGlobal"), nullptr);
    EXPECT_EQ(container.ShownPage(), 0);
    EXPECT_EQ(container.Page(1), nullptr);
    EXPECT_EQ(tab("PageSampleLib")->Value(), 1);

    toolbar.OnEfControlClicked(tab("PageGlobal"));
    EXPECT_EQ(host->GetPage(), 2);
    EXPECT_EQ(container.ShownPage(), 2);
    ASSERT_NE(container.Page(2), nullptr);
    EXPECT_TRUE(container.Page(2)->IsLayerVisible());
    EXPECT_FALSE(container.Page(0)->IsLayerVisible());
    EXPECT_EQ(tab("PageSampleLib")->Value(), 0);
    EXPECT_EQ(tab("PageProgMemory")->Value(), 0);
    EXPECT_EQ(tab("PageGlobal")->Value(), 1);

    // Pages are kept once made.
    CEfWindowLayer* global = container.Page(2);
    toolbar.OnEfControlClicked(tab("PageProgMemory"));
    toolbar.OnEfControlClicked(tab("PageGlobal"));
    EXPECT_EQ(container.Page(2), global);
    EXPECT_EQ(container.Page(1)->geometry(), QRect(0, 87, 700, 439));
}

TEST_F(MainWindowPages, OpeningAGlobalFileShowsTheGlobalPage) {
    const std::string path = dir.File("settings.t2g");
    ASSERT_EQ(CTarnGlobalDataIO().SavePath(host->GetAllData()->Global(), path),
              CEfFileIO::kSucceeded);
    ASSERT_TRUE(host->OpenPath(path));
    ProcessEvents();
    EXPECT_EQ(window->Container()->ShownPage(), 2);
    EXPECT_EQ(window->Container()->SystemLayer()->FindControl("PageGlobal")->Value(), 1);
    EXPECT_EQ(window->windowTitle(), "Untitled * - TALVEX PRO+ Editor");
}
