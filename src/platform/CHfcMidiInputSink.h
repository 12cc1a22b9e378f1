#pragma once

#include <cstddef>
#include <cstdint>

// Receives what arrives at an open input port, on a thread of the backend. No call may block for
// long: the backend's own buffers are small, and a backend thread held up loses input.
class CHfcMidiInputSink {
public:
    virtual ~CHfcMidiInputSink() = default;
    // Raw bytes, in segments of any size.
    virtual void OnHfcMidiInputData(const uint8_t* bytes, size_t length) = 0;
    // Bytes were lost between the last segment and the next one (the backend's buffer overran):
    // a message being collected cannot be complete.
    virtual void OnHfcMidiInputOverrun() {}
    // The device went away (unplugged, its program ended); nothing more will arrive.
    virtual void OnHfcMidiInputLost() {}
};
