#pragma once

#include <chrono>

// The time base by which output to the sequencer is paced. The steady clock in the product; a
// test puts a virtual clock here so that minutes of MIDI run in milliseconds.
class CAlsaClock {
public:
    using Duration = std::chrono::nanoseconds;

    virtual ~CAlsaClock() = default;
    virtual Duration Now() = 0;
    virtual void SleepUntil(Duration when) = 0;

    // The steady clock, shared.
    static CAlsaClock& Steady();
};
