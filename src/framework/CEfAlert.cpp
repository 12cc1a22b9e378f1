#include "framework/CEfAlert.h"

#include "framework/CEfAlertPresenter.h"
#include "framework/CEfUiServices.h"

int CEfAlert(const std::string& text, const std::string& caption, uint8_t style) {
    return CEfUiServices::Alerts().ShowAlert(text, caption, style);
}
