#pragma once

#include <QMessageBox>

#include "framework/CEfAlertPresenter.h"

// Message boxes on Qt: the style byte picks the buttons (low four bits) and the icon (high four
// bits); the box is modal, brought to the front, and answers 1 OK, 2 Yes, 3 No, 0 otherwise.
class CTarnQtAlertPresenter : public CEfAlertPresenter {
public:
    int ShowAlert(const std::string& text, const std::string& caption, uint8_t style) override;

    static QMessageBox::StandardButtons ButtonsFor(uint8_t style);
    static QMessageBox::Icon IconFor(uint8_t style);
    // The answer for the button the user pressed (or NoButton when the box was closed).
    static int ResultFor(QMessageBox::StandardButton button);
    // The box ShowAlert runs, set up but not shown.
    static void SetUp(QMessageBox& box, const std::string& text, const std::string& caption,
                      uint8_t style);
};
