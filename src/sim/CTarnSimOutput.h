#pragma once

#include <cstddef>
#include <cstdint>

// Where the virtual instrument's MIDI output goes: a stream of bytes, handed over in chunks that
// may split a message anywhere. Called on the instrument's own thread.
class CTarnSimOutput {
public:
    virtual ~CTarnSimOutput() = default;
    virtual void OnSimOutput(const uint8_t* bytes, size_t length) = 0;
};
