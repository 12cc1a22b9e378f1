#include "app/CEfHost.h"

#include "framework/CEfMessageManagerApp.h"
#include "framework/EfTrace.h"

CEfHost::~CEfHost() {
    ReleaseMessageManager();
}

bool CEfHost::CreateMessageManager() {
    messageManager_.reset(new CEfMessageManagerApp());
    if (!messageManager_->Initialize()) {
        EfTrace("Failed to create MessageManager.");
        messageManager_.reset();
        return false;
    }
    return true;
}

void CEfHost::ReleaseMessageManager() {
    if (messageManager_) {
        messageManager_->Terminate();
        messageManager_.reset();
    }
}
