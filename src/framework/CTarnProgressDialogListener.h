#pragma once

#include <atomic>

// Receives the Cancel of a progress window. The one operation sets the listener's cancel flag;
// long operations poll IsCancelled() between their steps.
class CTarnProgressDialogListener {
public:
    virtual ~CTarnProgressDialogListener() = default;
    virtual void OnCancel() { cancel_.store(true); }

    bool IsCancelled() const { return cancel_.load(); }
    void ClearCancel() { cancel_.store(false); }

private:
    std::atomic<bool> cancel_{false};
};
