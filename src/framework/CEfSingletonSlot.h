#pragma once

#include <memory>
#include <mutex>

// The storage of a process-wide, reference-counted singleton. Acquire creates the object on
// the first call and only counts on later ones; a creation that fails (the factory returns null)
// leaves the slot empty and the count at 0. Release destroys the object when the count returns
// to 0; a release without an object does nothing. Thread-safe.
template <class T> class CEfSingletonSlot {
public:
    template <class Factory> T* Acquire(Factory&& create) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (instance_) {
            ++count_;
            return instance_.get();
        }
        std::unique_ptr<T> created = create();
        if (!created) {
            return nullptr;
        }
        instance_ = std::move(created);
        count_ = 1;
        return instance_.get();
    }

    void Release() {
        std::unique_ptr<T> doomed;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!instance_ || --count_ > 0) {
                return;
            }
            doomed = std::move(instance_);
        }
        // Destroyed outside the lock: a destructor may release other singletons.
    }

    T* Instance() {
        std::lock_guard<std::mutex> lock(mutex_);
        return instance_.get();
    }

    int RefCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_;
    }

private:
    std::mutex mutex_;
    std::unique_ptr<T> instance_;
    int count_ = 0;
};
