#pragma once

class CTarnHost;

// Owns the host's dialog-shown flag while it lives: Acquire fails when a dialog is already up
// (the command then does nothing), otherwise sets the flag and disables the main window; the
// destructor undoes both after a successful Acquire.
class CTarnDialogFlag {
public:
    explicit CTarnDialogFlag(CTarnHost& host) : host_(host) {}
    ~CTarnDialogFlag();
    CTarnDialogFlag(const CTarnDialogFlag&) = delete;
    CTarnDialogFlag& operator=(const CTarnDialogFlag&) = delete;

    bool Acquire();
    bool IsAcquired() const { return acquired_; }

private:
    CTarnHost& host_;
    bool acquired_ = false;
};
