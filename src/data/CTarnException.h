#pragma once

#include "data/CEfException.h"

// An error the user sees: Report shows the message box of the code's message.
class CTarnException : public CEfException {
public:
    explicit CTarnException(int32_t code = 0) : CEfException(code) {}

    // The message text of GetCode (the internal-error text for codes outside the table).
    const char* GetMessage() const override;
    // Shows the error message box (OK button, error icon) and returns once it is closed.
    void Report() const override;
    // Message code of an error code; the base class maps everything to the internal error.
    virtual int MessageOf(int code) const;
};
