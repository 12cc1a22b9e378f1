#pragma once

#include <cstdint>

class CEfMessageManagerListener;

// One change notification (see CEfMessageManagerApp). Parameters carry -1 where they carry
// nothing.
struct CEfMessage {
    uint32_t sequence = 0;
    int32_t type = 0;
    int32_t params[4] = {-1, -1, -1, -1};
    CEfMessageManagerListener* sender = nullptr;
    // Only for targeted messages: the one listener that receives it.
    CEfMessageManagerListener* target = nullptr;
};

// The message types the editor posts.
enum EfMessageType : int32_t {
    kMsgRefreshAll = 0,
    kMsgRefreshSampleLibrarian = 1,
    kMsgRefreshProgramMemory = 2,
    kMsgRefreshGlobal = 3,
    kMsgModifiedChanged = 4,
    kMsgRefreshExtCtrl = 5,
    kMsgFileDropped = 6,
    kMsgStopPreview = 7,
};
