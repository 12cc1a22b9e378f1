#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "framework/CEfMessageManagerApp.h"
#include "framework/CEfMessageManagerListener.h"
#include "framework/CEfMessageWindow.h"

namespace {

class Listener : public CEfMessageManagerListener {
public:
    bool OnEfMessageReceived(CEfMessageManagerApp*, int32_t, int32_t, int32_t, int32_t, int32_t,
                             CEfMessageManagerListener*) override {
        return false;
    }
};

// The user-interface thread's event queue as the windows share it: notices in the order they
// were posted, to whichever window.
class NoticeQueue {
public:
    struct Notice {
        class FakeWindow* window;
        bool targeted;
        uint32_t sequence;
    };
    void Push(Notice notice) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            notices_.push_back(notice);
        }
        cv_.notify_one();
    }
    bool Pop(Notice& out, bool wait) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wait) {
            cv_.wait_for(lock, std::chrono::milliseconds(50), [this] { return !notices_.empty(); });
        }
        if (notices_.empty()) {
            return false;
        }
        out = notices_.front();
        notices_.pop_front();
        return true;
    }
    size_t Size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return notices_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Notice> notices_;
};

// A window that queues notices and, when its queue is processed, fetches and records the
// messages as a real window hands them to its layers.
class FakeWindow : public CEfMessageWindow {
public:
    FakeWindow(CEfMessageManagerApp& manager, NoticeQueue& queue)
        : manager_(manager), queue_(queue) {}
    void PostBroadcastNotice(uint32_t sequence) override { queue_.Push({this, false, sequence}); }
    void PostTargetedNotice(uint32_t sequence) override { queue_.Push({this, true, sequence}); }
    bool HasListener(const CEfMessageManagerListener* listener) const override {
        return listener == &own;
    }
    void Handle(bool targeted, uint32_t sequence) {
        auto message =
            targeted ? manager_.FetchTargeted(sequence) : manager_.FetchBroadcast(sequence);
        if (message) {
            delivered.push_back(*message);
        }
    }

    Listener own;
    std::vector<CEfMessage> delivered;

private:
    CEfMessageManagerApp& manager_;
    NoticeQueue& queue_;
};

void ProcessAll(NoticeQueue& queue) {
    NoticeQueue::Notice notice{};
    while (queue.Pop(notice, false)) {
        notice.window->Handle(notice.targeted, notice.sequence);
    }
}

} // namespace

TEST(MessageManager, DoesNothingButSucceedUntilInitialised) {
    CEfMessageManagerApp manager;
    NoticeQueue queue;
    FakeWindow window(manager, queue);
    manager.RegisterWindow(&window);
    EXPECT_FALSE(manager.IsInitialized());
    EXPECT_TRUE(manager.Post(kMsgRefreshAll));
    EXPECT_TRUE(manager.PostTo(&window.own, kMsgFileDropped, 0));
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_FALSE(manager.FetchBroadcast(0));
    EXPECT_FALSE(manager.FetchTargeted(0));
    EXPECT_FALSE(manager.UnregisterWindow(&window));

    // The registration made before initialisation did not count either.
    ASSERT_TRUE(manager.Initialize());
    EXPECT_FALSE(manager.Initialize());
    manager.Post(kMsgRefreshAll);
    EXPECT_EQ(queue.Size(), 0u);
}

TEST(MessageManager, TwoPostsArriveInOrderEachOnceAtTwoWindows) {
    CEfMessageManagerApp manager;
    ASSERT_TRUE(manager.Initialize());
    NoticeQueue queue;
    FakeWindow main(manager, queue);
    FakeWindow about(manager, queue);
    manager.RegisterWindow(&main);
    manager.RegisterWindow(&about);
    manager.RegisterWindow(&main); // a second registration does not double the notices

    Listener sender;
    manager.Post(kMsgRefreshGlobal, -1, -1, -1, -1, &sender);
    manager.Post(kMsgFileDropped, 1, 2);
    ProcessAll(queue);

    for (FakeWindow* window : {&main, &about}) {
        ASSERT_EQ(window->delivered.size(), 2u);
        EXPECT_EQ(window->delivered[0].sequence, 0u);
        EXPECT_EQ(window->delivered[0].type, kMsgRefreshGlobal);
        EXPECT_EQ(window->delivered[0].sender, &sender);
        EXPECT_EQ(window->delivered[0].params[0], -1);
        EXPECT_EQ(window->delivered[1].sequence, 1u);
        EXPECT_EQ(window->delivered[1].type, kMsgFileDropped);
        EXPECT_EQ(window->delivered[1].params[0], 1);
        EXPECT_EQ(window->delivered[1].params[1], 2);
        EXPECT_EQ(window->delivered[1].params[3], -1);
    }
}

TEST(MessageManager, BroadcastFetchDropsEarlierAndLeavesTheFoundOneQueued) {
    CEfMessageManagerApp manager;
    ASSERT_TRUE(manager.Initialize());
    for (int i = 0; i < 3; ++i) {
        manager.Post(kMsgRefreshAll, i);
    }
    auto first = manager.FetchBroadcast(1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->sequence, 1u);
    // Number 0 is gone: asking for it yields the first one still queued, which stayed.
    auto again = manager.FetchBroadcast(0);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->sequence, 1u);
    EXPECT_EQ(again->params[0], 1);
    EXPECT_FALSE(manager.FetchBroadcast(7));
    EXPECT_FALSE(manager.FetchBroadcast(2)); // the fetch of 7 emptied the queue
}

TEST(MessageManager, TargetedGoesOnlyToTheWindowHoldingTheTarget) {
    CEfMessageManagerApp manager;
    ASSERT_TRUE(manager.Initialize());
    NoticeQueue queue;
    FakeWindow main(manager, queue);
    FakeWindow about(manager, queue);
    manager.RegisterWindow(&main);
    manager.RegisterWindow(&about);

    manager.PostTo(&about.own, kMsgFileDropped, 0);
    manager.Post(kMsgModifiedChanged);
    manager.PostTo(&about.own, kMsgFileDropped, 1, 3);
    ProcessAll(queue);

    ASSERT_EQ(main.delivered.size(), 1u);
    EXPECT_EQ(main.delivered[0].type, kMsgModifiedChanged);
    ASSERT_EQ(about.delivered.size(), 3u);
    EXPECT_EQ(about.delivered[0].target, &about.own);
    EXPECT_EQ(about.delivered[0].sequence, 0u);
    EXPECT_EQ(about.delivered[1].sequence, 1u);
    EXPECT_EQ(about.delivered[2].sequence, 2u);
    EXPECT_EQ(about.delivered[2].params[1], 3);
    // A targeted message is fetched once: it was removed.
    EXPECT_FALSE(manager.FetchTargeted(2));
}

TEST(MessageManager, TargetedFetchRemovesUpToTheNumberButNotBeyond) {
    CEfMessageManagerApp manager;
    ASSERT_TRUE(manager.Initialize());
    Listener target;
    for (int i = 0; i < 4; ++i) {
        manager.PostTo(&target, kMsgFileDropped, i);
    }
    auto second = manager.FetchTargeted(1);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->params[0], 1);
    EXPECT_FALSE(manager.FetchTargeted(0)); // removed with the fetch of 1
    // A number not queued leaves the later messages alone.
    manager.PostTo(&target, kMsgFileDropped, 9); // number 4
    EXPECT_FALSE(manager.FetchTargeted(1));
    ASSERT_TRUE(manager.FetchTargeted(3));
    auto last = manager.FetchTargeted(4);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->params[0], 9);
}

TEST(MessageManager, UnregisteredWindowsHearNothingAndTerminateForgetsEverything) {
    CEfMessageManagerApp manager;
    ASSERT_TRUE(manager.Initialize());
    NoticeQueue queue;
    FakeWindow window(manager, queue);
    manager.RegisterWindow(&window);
    EXPECT_TRUE(manager.UnregisterWindow(&window));
    EXPECT_FALSE(manager.UnregisterWindow(&window));
    manager.Post(kMsgRefreshAll);
    EXPECT_EQ(queue.Size(), 0u);
    // Messages posted while no window is registered stay queued.
    EXPECT_TRUE(manager.FetchBroadcast(0));

    manager.RegisterWindow(&window);
    manager.Terminate();
    EXPECT_FALSE(manager.IsInitialized());
    ASSERT_TRUE(manager.Initialize());
    manager.Post(kMsgRefreshAll);
    EXPECT_EQ(queue.Size(), 0u);
    auto fresh = manager.FetchBroadcast(0);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->sequence, 0u);
}

TEST(MessageManager, PostsFromManyThreadsReachBothWindowsOnceAndInOrder) {
    CEfMessageManagerApp manager;
    ASSERT_TRUE(manager.Initialize());
    NoticeQueue queue;
    FakeWindow main(manager, queue);
    FakeWindow about(manager, queue);
    manager.RegisterWindow(&main);
    manager.RegisterWindow(&about);

    constexpr int kThreads = 4;
    constexpr int kPosts = 500;
    std::atomic<int> running{kThreads};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) {
                manager.Post(kMsgRefreshExtCtrl, t, i);
            }
            --running;
        });
    }
    // The user-interface thread handles notices while the posts go on.
    NoticeQueue::Notice notice{};
    while (running.load() > 0 || queue.Size() > 0) {
        if (queue.Pop(notice, true)) {
            notice.window->Handle(notice.targeted, notice.sequence);
        }
    }
    for (auto& poster : posters) {
        poster.join();
    }
    ProcessAll(queue);

    for (FakeWindow* window : {&main, &about}) {
        ASSERT_EQ(window->delivered.size(), static_cast<size_t>(kThreads * kPosts));
        std::vector<int> nextOfThread(kThreads, 0);
        for (size_t i = 0; i < window->delivered.size(); ++i) {
            const CEfMessage& m = window->delivered[i];
            EXPECT_EQ(m.sequence, i);
            ASSERT_GE(m.params[0], 0);
            ASSERT_LT(m.params[0], kThreads);
            EXPECT_EQ(m.params[1], nextOfThread[m.params[0]]++);
        }
    }
}
