#pragma once

#include <QRect>

#include "ui/framework/CEfWindow.h"

class CTarnAboutLayer;

// "About TALVEX PRO+ Editor": 300 x 300, in the middle of the work area. Closing it only hides
// it; it lives until the main window goes.
class CTarnAboutWindow : public CEfWindow {
    Q_OBJECT

public:
    static constexpr int kSize = 300;

    explicit CTarnAboutWindow(QWidget* parent = nullptr);

    CTarnAboutLayer* Layer() const { return layer_; }
    // Where the window goes on a work area: the smaller of (right - 300 - 8) and
    // (width / 2 - 150) across, of (bottom - 300 - 25) and (height / 2 - 150) down; never below
    // 0.
    static QPoint Placement(const QRect& workArea);
    // Places, shows and raises the window.
    void ShowInFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CTarnAboutLayer* layer_;
};
