#include "ui/main/CTarnMainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLayout>
#include <QMimeData>
#include <QPainter>
#include <algorithm>

#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnHost.h"
#include "framework/CEfAutoLock.h"
#include "framework/CEfMessage.h"
#include "framework/CEfMessageManagerApp.h"
#include "framework/EfTrace.h"
#include "ui/dialogs/CTarnPreferencesDialog.h"
#include "ui/main/CTarnAboutWindow.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/main/CTarnMainMenu.h"

namespace {

// The window's icon: the installed application icon, or, running from a build, the same
// emblem drawn here.
QIcon MakeIcon() {
    const QIcon installed = QIcon::fromTheme(QStringLiteral("org.vesk.TalvexProEditor"));
    if (!installed.isNull()) {
        return installed;
    }
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x26, 0x2a, 0x30));
        painter.setPen(QPen(QColor(0xff, 0x8c, 0x1a), size / 16.0));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
        painter.setPen(Qt::NoPen);
        const double cell = size / 4.0;
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 2; ++column) {
                painter.setBrush(row == column ? QColor(0xff, 0x8c, 0x1a)
                                               : QColor(0x9a, 0xa4, 0xb0));
                painter.drawRoundedRect(QRectF(cell * (0.8 + column * 1.3),
                                               cell * (0.8 + row * 1.3), cell * 1.1, cell * 1.1),
                                        size / 32.0, size / 32.0);
            }
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

CTarnMainWindow::CTarnMainWindow(CTarnHost& host, QWidget* parent)
    : CEfWindow(parent), host_(host), menu_(new CTarnMainMenu(this)),
      container_(new CTarnMainContainer(host)) {
    setObjectName("MainWindow");
    setFocusPolicy(Qt::StrongFocus);
    setWindowIcon(MakeIcon());
    layout()->setMenuBar(menu_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    SetContentSize(QSize(kContentWidth, kContentHeight));
    AddLayer(container_);
    // The accelerators belong to the window, so they work while the menus are closed.
    for (QMenu* menu : menu_->findChildren<QMenu*>()) {
        addActions(menu->actions());
    }
    connect(menu_, &CTarnMainMenu::CommandChosen, this,
            [this](int command) { host_.RunCommand(command); });
    connect(menu_, &CTarnMainMenu::MenuAboutToOpen, this, &CTarnMainWindow::UpdateEditMenu);
    if (QClipboard* clipboard = QApplication::clipboard()) {
        connect(clipboard, &QClipboard::dataChanged, this, &CTarnMainWindow::UpdateEditMenu);
    }
    if (CEfMenuBar* bar = host_.GetMenuBar()) {
        bar->Attach(menu_);
    }
    host_.SetWindow(this);
    SetMessageManager(host_.GetMessageManager());
    UpdateTitle();
    UpdateEditMenu();
}

CTarnMainWindow::~CTarnMainWindow() {
    if (CEfMenuBar* bar = host_.GetMenuBar()) {
        bar->Attach(nullptr);
    }
    if (host_.GetWindow() == this) {
        host_.SetWindow(nullptr);
    }
    delete about_;
    // Pages unregister from the host while it still knows them.
    RemoveLayer(container_);
    delete container_;
}

void CTarnMainWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(host_.TitleText()));
}

void CTarnMainWindow::UpdateEditMenu() {
    const QMimeData* data =
        QApplication::clipboard() ? QApplication::clipboard()->mimeData() : nullptr;
    const CTarnClipboardTypeManager* formats = CTarnClipboardTypeManager::Instance();
    host_.UpdateEditMenu([&](const std::string& shortName) {
        if (!data || !formats) {
            return false;
        }
        const std::string mime = formats->GetMimeType(shortName);
        return !mime.empty() && data->hasFormat(QString::fromStdString(mime));
    });
}

QPoint CTarnMainWindow::ClampedPosition(const QPoint& stored, const QRect& workArea,
                                        const QSize& size) {
    int x = stored.x();
    int y = stored.y();
    if (x + size.width() > workArea.left() + workArea.width()) {
        x = workArea.left() + workArea.width() - size.width();
    }
    if (y + size.height() > workArea.top() + workArea.height()) {
        y = workArea.top() + workArea.height() - size.height();
    }
    return {std::max(x, workArea.left()), std::max(y, workArea.top())};
}

bool CTarnMainWindow::IsDroppableFile(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return false;
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == "t2a" || extension == "txa";
}

std::string CTarnMainWindow::DroppableFile(const CEfDragInfo& info) {
    for (const std::string& file : info.files) {
        if (IsDroppableFile(file)) {
            return file;
        }
    }
    return {};
}

EfDropEffect CTarnMainWindow::OnEfWindowDragOver(const CEfDragInfo& info) {
    return DroppableFile(info).empty() ? EfDropEffect::kNone : EfDropEffect::kCopy;
}

EfDropEffect CTarnMainWindow::OnEfWindowDrop(const CEfDragInfo& info) {
    const std::string file = DroppableFile(info);
    if (file.empty()) {
        return EfDropEffect::kNone;
    }
    if (file.size() > kMaxDropPath) {
        EfTrace("CTarnMainWindow - Dropped path too long (%zu characters).", file.size());
        return EfDropEffect::kNone;
    }
    {
        CEfAutoLock lock(dropLock_);
        if (dropPending_) {
            return EfDropEffect::kNone;
        }
        dropPath_ = file;
        dropPending_ = true;
    }
    // Opened once the drop has ended, from the window's own message.
    host_.PostMessage(kMsgFileDropped, 0);
    return EfDropEffect::kCopy;
}

bool CTarnMainWindow::OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1,
                                          int32_t p2, int32_t p3, int32_t p4,
                                          CEfMessageManagerListener* sender) {
    if (type == kMsgModifiedChanged) {
        UpdateTitle();
    } else if (type == kMsgFileDropped && p1 == 0) {
        std::string path;
        {
            CEfAutoLock lock(dropLock_);
            if (!dropPending_) {
                return false;
            }
            path = dropPath_;
        }
        host_.OpenPath(path);
        CEfAutoLock lock(dropLock_);
        dropPending_ = false;
    } else if (type == kMsgRefreshAll) {
        UpdateTitle();
    }
    return CEfWindow::OnEfMessageReceived(manager, type, p1, p2, p3, p4, sender);
}

void CTarnMainWindow::EnableInput(bool enabled) {
    menu_->setEnabled(enabled);
    ContentArea()->setEnabled(enabled);
    for (QAction* action : actions()) {
        action->setEnabled(enabled && host_.GetMenuBar()->IsCommandEnabled(action->data().toInt()));
    }
}

void CTarnMainWindow::EndLoop() {
    RememberNormalPosition();
    endingLoop_ = true;
    close();
    emit LoopEndRequested();
}

void CTarnMainWindow::ShowAboutWindow() {
    if (!about_) {
        about_ = new CTarnAboutWindow;
        about_->setWindowIcon(windowIcon());
        about_->SetMessageManager(host_.GetMessageManager());
    }
    about_->ShowInFront();
}

bool CTarnMainWindow::RunPreferencesDialog(CTarnMidiPreferencesForm& form) {
    CTarnPreferencesDialog dialog(form, this);
    return dialog.exec() == QDialog::Accepted;
}

void CTarnMainWindow::Raise() {
    if (isMinimized()) {
        showNormal();
    }
    show();
    raise();
    activateWindow();
}

void CTarnMainWindow::closeEvent(QCloseEvent* event) {
    if (endingLoop_) {
        event->accept();
        return;
    }
    if (!host_.CloseRequested()) {
        event->ignore();
        return;
    }
    RememberNormalPosition();
    endingLoop_ = true;
    event->accept();
    emit LoopEndRequested();
}

void CTarnMainWindow::moveEvent(QMoveEvent* event) {
    CEfWindow::moveEvent(event);
    RememberNormalPosition();
}

void CTarnMainWindow::RememberNormalPosition() {
    if (isVisible() && !isMinimized() && !isMaximized() && !isFullScreen()) {
        host_.SetLastNormalPosition(x(), y());
    }
}
