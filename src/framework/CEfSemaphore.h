#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

// A counting semaphore with a maximum count of 0x7fff and an optional name (for the trace).
class CEfSemaphore {
public:
    static constexpr int kMaxCount = 0x7fff;

    explicit CEfSemaphore(int initialCount = 0, std::string name = {})
        : count_(initialCount), name_(std::move(name)) {}
    CEfSemaphore(const CEfSemaphore&) = delete;
    CEfSemaphore& operator=(const CEfSemaphore&) = delete;

    // Adds one; false when the count is already at its maximum.
    bool Release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (count_ >= kMaxCount) {
                return false;
            }
            ++count_;
        }
        cv_.notify_one();
        return true;
    }

    // Takes one, waiting at most the given time; false on time-out.
    bool Wait(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [this] { return count_ > 0; })) {
            return false;
        }
        --count_;
        return true;
    }

    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return count_ > 0; });
        --count_;
    }

    // Drops every pending count.
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        count_ = 0;
    }

    const std::string& Name() const { return name_; }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    int count_;
    std::string name_;
};
