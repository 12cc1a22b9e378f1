#pragma once

#include <cstdint>

class CEfMessageManagerListener;

// A window as the message manager sees it. The notices may come from any thread; the window
// queues them on its own (user-interface) thread and there fetches and delivers the message, so a
// listener never runs inside the poster's call.
class CEfMessageWindow {
public:
    virtual ~CEfMessageWindow() = default;
    // Broadcast message `sequence` waits in the manager's broadcast queue.
    virtual void PostBroadcastNotice(uint32_t sequence) = 0;
    // Targeted message `sequence` waits in the manager's targeted queue.
    virtual void PostTargetedNotice(uint32_t sequence) = 0;
    // Whether the listener belongs to this window (one of its layers or the window itself).
    virtual bool HasListener(const CEfMessageManagerListener* listener) const = 0;
};
