#pragma once

#include <cstddef>

// Told, on a thread of the backend, what becomes of the pieces handed to an output port.
class CHfcMidiOutputSink {
public:
    virtual ~CHfcMidiOutputSink() = default;
    // A piece has gone out: its bytes have left (or are leaving) the wire, not merely a buffer.
    // Reported once per piece, in the order they were sent.
    virtual void OnHfcMidiOutputDone(size_t length) = 0;
    // The device went away or refused the bytes: Send fails from now on, and pieces not yet
    // sent are never reported done.
    virtual void OnHfcMidiOutputLost() {}
};
