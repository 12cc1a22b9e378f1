#include "ui/main/CTarnAboutWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "ui/main/CTarnAboutLayer.h"

CTarnAboutWindow::CTarnAboutWindow(QWidget* parent)
    : CEfWindow(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      layer_(new CTarnAboutLayer) {
    setWindowTitle(QStringLiteral("About TALVEX PRO+ Editor"));
    setObjectName("AboutWindow");
    SetContentSize(QSize(kSize, kSize));
    AddLayer(layer_);
    setFixedSize(kSize, kSize);
}

QPoint CTarnAboutWindow::Placement(const QRect& workArea) {
    const int x = std::min(workArea.right() + 1 - kSize - 8, workArea.width() / 2 - kSize / 2);
    const int y = std::min(workArea.bottom() + 1 - kSize - 25, workArea.height() / 2 - kSize / 2);
    return {std::max(x, 0), std::max(y, 0)};
}

void CTarnAboutWindow::ShowInFront() {
    if (!isVisible()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen) {
            move(Placement(screen->availableGeometry()));
        }
    }
    show();
    raise();
    activateWindow();
}

void CTarnAboutWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
