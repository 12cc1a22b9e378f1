#include "ui/dialogs/CTarnQtAlertPresenter.h"

#include <QApplication>

QMessageBox::StandardButtons CTarnQtAlertPresenter::ButtonsFor(uint8_t style) {
    switch (style & 0x0f) {
    case 3:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 12:
        return QMessageBox::Yes | QMessageBox::No;
    case 13:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon CTarnQtAlertPresenter::IconFor(uint8_t style) {
    switch (style >> 4) {
    case 2:
        return QMessageBox::Critical;
    case 4:
        return QMessageBox::Information;
    case 8:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

int CTarnQtAlertPresenter::ResultFor(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return 1;
    case QMessageBox::Yes:
        return 2;
    case QMessageBox::No:
        return 3;
    default:
        return 0;
    }
}

void CTarnQtAlertPresenter::SetUp(QMessageBox& box, const std::string& text,
                                  const std::string& caption, uint8_t style) {
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    box.setIcon(IconFor(style));
    const QMessageBox::StandardButtons buttons = ButtonsFor(style);
    box.setStandardButtons(buttons);
    // Escape and the close box answer like Cancel where there is one, otherwise like No/OK.
    if (buttons & QMessageBox::Cancel) {
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (buttons & QMessageBox::No) {
        box.setEscapeButton(QMessageBox::No);
    }
}

int CTarnQtAlertPresenter::ShowAlert(const std::string& text, const std::string& caption,
                                     uint8_t style) {
    QMessageBox box(QApplication::activeWindow());
    SetUp(box, text, caption, style);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const QMessageBox::StandardButton button =
        clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
    return ResultFor(button);
}
