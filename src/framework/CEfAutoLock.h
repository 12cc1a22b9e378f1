#pragma once

#include "framework/CEfCriticalSection.h"

// Holds a critical section for the lifetime of a scope.
class CEfAutoLock {
public:
    explicit CEfAutoLock(CEfCriticalSection& cs) : cs_(cs) { cs_.Lock(); }
    ~CEfAutoLock() { cs_.Unlock(); }
    CEfAutoLock(const CEfAutoLock&) = delete;
    CEfAutoLock& operator=(const CEfAutoLock&) = delete;

private:
    CEfCriticalSection& cs_;
};
