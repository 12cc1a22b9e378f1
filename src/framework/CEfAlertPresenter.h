#pragma once

#include <cstdint>
#include <string>

// Shows a message box. Style byte, low four bits: 3 OK and Cancel, 12 Yes and No, 13 Yes, No and
// Cancel, anything else OK alone; high four bits: 2 error icon, 4 information icon, 8 warning
// icon. Returns 1 for OK, 2 for Yes, 3 for No and 0 otherwise (Cancel, closed).
class CEfAlertPresenter {
public:
    virtual ~CEfAlertPresenter() = default;
    virtual int ShowAlert(const std::string& text, const std::string& caption, uint8_t style) = 0;
};
