#pragma once

#include <cstddef>
#include <cstdint>

// Receives the raw bytes arriving at an open input port, in segments of any size, on a thread of
// the backend. May block for a while to slow the backend down when it cannot keep up.
class CHfcMidiInputSink {
public:
    virtual ~CHfcMidiInputSink() = default;
    virtual void OnHfcMidiInputData(const uint8_t* bytes, size_t length) = 0;
};
