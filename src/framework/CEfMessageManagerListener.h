#pragma once

#include <cstdint>

class CEfMessageManagerApp;

// Receives change notifications on the user-interface thread. Returns whether it consumed the
// message (the editor's listeners never do).
class CEfMessageManagerListener {
public:
    virtual ~CEfMessageManagerListener() = default;
    virtual bool OnEfMessageReceived(CEfMessageManagerApp* manager, int32_t type, int32_t p1,
                                     int32_t p2, int32_t p3, int32_t p4,
                                     CEfMessageManagerListener* sender) = 0;
};
