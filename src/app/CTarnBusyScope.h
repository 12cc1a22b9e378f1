#pragma once

#include "app/CTarnHost.h"

// Holds the host's busy flag for one file or instrument command when it was free, and clears it
// when the command ends, whatever its outcome. Held() is false when another command runs already.
class CTarnBusyScope {
public:
    explicit CTarnBusyScope(CTarnHost& host) : host_(host), held_(host.TryBeginBusy()) {}
    ~CTarnBusyScope() {
        if (held_) {
            host_.SetBusy(false);
        }
    }
    CTarnBusyScope(const CTarnBusyScope&) = delete;
    CTarnBusyScope& operator=(const CTarnBusyScope&) = delete;

    bool Held() const { return held_; }

private:
    CTarnHost& host_;
    bool held_;
};
