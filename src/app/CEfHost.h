#pragma once

#include "data/CEfObject.h"

class CEfMessageManagerApp;

// The base of the application's central object: it owns the message manager, which is created
// before anything else of the application and released after everything else.
class CEfHost {
public:
    CEfHost() = default;
    virtual ~CEfHost();
    CEfHost(const CEfHost&) = delete;
    CEfHost& operator=(const CEfHost&) = delete;

    CEfMessageManagerApp* GetMessageManager() const { return messageManager_.get(); }

protected:
    // Creates and initialises the message manager; false (trace "Failed to create
    // MessageManager.") when that fails.
    bool CreateMessageManager();
    void ReleaseMessageManager();

private:
    CEfObjectPtr<CEfMessageManagerApp> messageManager_;
};
