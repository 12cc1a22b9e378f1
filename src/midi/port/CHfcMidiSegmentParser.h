#pragma once

#include <cstddef>
#include <cstdint>

#include "midi/port/CHfcMidiSegmentSink.h"
#include "midi/port/CSysExBuffer.h"

// Turns raw input segments into messages. A SysEx message may span any number of segments;
// real-time bytes (F8 to FF) inside it are reported as short messages and do not interrupt it;
// any other
// status byte ends it unfinished (it is discarded) and is parsed as the start of a new message;
// an F0 inside it restarts collection. Outside SysEx, stray data bytes are skipped and a short
// message cut short by a status byte or by the end of the segment is dropped.
class CHfcMidiSegmentParser {
public:
    explicit CHfcMidiSegmentParser(CHfcMidiSegmentSink& sink) : sink_(sink) {}

    void Parse(const uint8_t* bytes, size_t length);
    // Forgets a partly collected message.
    void Reset();

    bool InSysEx() const { return buffer_.InSysEx(); }

    // Length of a message by its status byte (1 to 3).
    static size_t MessageLength(uint8_t status);

private:
    // Continues the open SysEx message from position `from` of the segment; returns how many
    // bytes of the segment it took.
    size_t Collect(const uint8_t* bytes, size_t length, size_t from);
    void SetReceiving(bool receiving);

    CHfcMidiSegmentSink& sink_;
    CSysExBuffer buffer_;
    bool receiving_ = false;
};
