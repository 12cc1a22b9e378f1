#pragma once

#include "data/CEfObject.h"
#include "framework/CEfSemaphore.h"

// Root of the data managers. The semaphore is there for callers that share data across threads;
// the data model itself never waits on it.
class CEfDataManager : public CEfObject {
public:
    CEfDataManager() : semaphore_(1, "DataAccessSemaphore") {}

    CEfSemaphore& Semaphore() { return semaphore_; }

private:
    CEfSemaphore semaphore_;
};
