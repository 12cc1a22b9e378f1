#pragma once

#include <cstddef>

// Told, on a thread of the backend, when a piece handed to an output port has gone out.
class CHfcMidiOutputSink {
public:
    virtual ~CHfcMidiOutputSink() = default;
    virtual void OnHfcMidiOutputDone(size_t length) = 0;
};
