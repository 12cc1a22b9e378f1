#pragma once

#include <cstddef>
#include <cstdint>

// What the segment parser finds in the input: short messages, SysEx progress and complete SysEx
// messages, and changes of the receiving state.
class CHfcMidiSegmentSink {
public:
    virtual ~CHfcMidiSegmentSink() = default;
    virtual void OnSegmentShortMessage(const uint8_t* bytes, size_t length) = 0;
    virtual void OnSegmentSysExProgress(const uint8_t* bytes, size_t count) = 0;
    virtual void OnSegmentSysExComplete(const uint8_t* bytes, size_t length) = 0;
    virtual void OnSegmentReceivingChanged(bool receiving) = 0;
};
