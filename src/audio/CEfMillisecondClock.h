#pragma once

#include <chrono>

// A monotonic clock in milliseconds. Users take it as an interface so that tests can step time
// by hand.
class CEfMillisecondClock {
public:
    virtual ~CEfMillisecondClock() = default;
    virtual std::chrono::milliseconds Now() const = 0;

    // The system's steady clock; lives for the whole program.
    static CEfMillisecondClock& System();
};
