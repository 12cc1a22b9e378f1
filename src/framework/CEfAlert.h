#pragma once

#include <cstdint>
#include <string>

// Shows a message box through the installed front end (see CEfAlertPresenter for the style byte)
// and returns 1 for OK, 2 for Yes, 3 for No and 0 otherwise.
int CEfAlert(const std::string& text, const std::string& caption, uint8_t style);
