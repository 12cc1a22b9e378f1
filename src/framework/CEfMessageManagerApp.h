#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "data/CEfObject.h"
#include "framework/CEfMessage.h"
#include "framework/CEfSemaphore.h"

class CEfMessageManagerListener;
class CEfMessageWindow;

// Carries change notifications between the parts of the editor without direct references.
// Posting is allowed from any thread; each registered window is told (CEfMessageWindow) and
// delivers the message on its own thread to all its layers. Every operation but Initialize does
// nothing (posting reports success) until the manager is initialised.
//
// Locks: the queues are guarded by "MQManager:QueueSema", the window list by
// "MQManager:WindowSema"; a post takes one after the other, never both at once. Posts are
// serialised among themselves so that every window is told of the numbers in increasing order:
// a window fetching number n drops the numbers below it, so a notice overtaken by a later one
// would otherwise be lost for that window and the later message delivered twice.
class CEfMessageManagerApp : public CEfObject {
public:
    CEfMessageManagerApp();
    ~CEfMessageManagerApp() override;

    // False when already initialised.
    bool Initialize();
    // Drops every queued message and registration.
    void Terminate();
    bool IsInitialized() const;

    void RegisterWindow(CEfMessageWindow* window);
    // Whether the window was registered.
    bool UnregisterWindow(CEfMessageWindow* window);

    // Broadcast: queued with the next sequence number, then every registered window is told.
    bool Post(int32_t type, int32_t p1 = -1, int32_t p2 = -1, int32_t p3 = -1, int32_t p4 = -1,
              CEfMessageManagerListener* sender = nullptr);
    // Targeted: queued with its target; the window holding the target is told.
    bool PostTo(CEfMessageManagerListener* target, int32_t type, int32_t p1 = -1, int32_t p2 = -1,
                int32_t p3 = -1, int32_t p4 = -1, CEfMessageManagerListener* sender = nullptr);

    // Drops broadcast messages numbered below `sequence`; returns the first one numbered
    // `sequence` or later, which stays queued for the other windows.
    std::optional<CEfMessage> FetchBroadcast(uint32_t sequence);
    // Drops targeted messages until the one numbered `sequence`, which is removed and returned.
    std::optional<CEfMessage> FetchTargeted(uint32_t sequence);

private:
    // Semaphores used as locks (initial count 1).
    class SemaLock {
    public:
        explicit SemaLock(CEfSemaphore& sema) : sema_(sema) { sema_.Wait(); }
        ~SemaLock() { sema_.Release(); }
        SemaLock(const SemaLock&) = delete;
        SemaLock& operator=(const SemaLock&) = delete;

    private:
        CEfSemaphore& sema_;
    };

    std::atomic<bool> initialized_{false};
    uint32_t nextSequence_ = 0;
    std::deque<CEfMessage> broadcast_;
    std::deque<CEfMessage> targeted_;
    std::vector<CEfMessageWindow*> windows_;
    // The locks live as long as the manager, so a post racing Terminate never meets a destroyed
    // lock.
    CEfSemaphore queueSema_{1, "MQManager:QueueSema"};
    CEfSemaphore windowSema_{1, "MQManager:WindowSema"};
    std::mutex postOrder_;
};
