#pragma once

#include <mutex>
#include <string>

// A named, recursive lock. The name only serves the diagnostic trace.
class CEfCriticalSection {
public:
    explicit CEfCriticalSection(std::string name = {}) : name_(std::move(name)) {}
    CEfCriticalSection(const CEfCriticalSection&) = delete;
    CEfCriticalSection& operator=(const CEfCriticalSection&) = delete;

    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }
    bool TryLock() { return mutex_.try_lock(); }
    const std::string& Name() const { return name_; }

private:
    std::recursive_mutex mutex_;
    std::string name_;
};
