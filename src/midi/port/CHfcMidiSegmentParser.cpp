#include "midi/port/CHfcMidiSegmentParser.h"

#include "framework/EfTrace.h"

namespace {

constexpr uint8_t kSysEx = 0xf0;
constexpr uint8_t kEox = 0xf7;
constexpr uint8_t kFirstRealTime = 0xf8;

bool IsData(uint8_t byte) {
    return byte < 0x80;
}

} // namespace

size_t CHfcMidiSegmentParser::MessageLength(uint8_t status) {
    if (status < 0xc0 || (status >= 0xe0 && status < 0xf0)) {
        return 3;
    }
    if (status < 0xe0 || status == 0xf1 || status == 0xf3) {
        return 2;
    }
    if (status == 0xf2) {
        return 3;
    }
    // F4, F5 (undefined), F6, a stray F7 and the real-time bytes carry no data.
    return 1;
}

void CHfcMidiSegmentParser::Reset() {
    buffer_.Reset();
    SetReceiving(false);
}

void CHfcMidiSegmentParser::SetReceiving(bool receiving) {
    if (receiving != receiving_) {
        receiving_ = receiving;
        sink_.OnSegmentReceivingChanged(receiving);
    }
}

void CHfcMidiSegmentParser::Parse(const uint8_t* bytes, size_t length) {
    size_t pos = 0;
    while (pos < length) {
        if (buffer_.InSysEx()) {
            pos += Collect(bytes + pos, length - pos, 0);
            continue;
        }
        uint8_t status = bytes[pos];
        if (IsData(status)) {
            ++pos;
            continue;
        }
        if (status == kSysEx) {
            buffer_.Reset();
            buffer_.Append(kSysEx);
            buffer_.SetInSysEx(true);
            SetReceiving(true);
            pos += Collect(bytes + pos, length - pos, 1);
            continue;
        }
        size_t messageLength = MessageLength(status);
        size_t i = 1;
        while (i < messageLength && pos + i < length && IsData(bytes[pos + i])) {
            ++i;
        }
        if (i == messageLength) {
            sink_.OnSegmentShortMessage(bytes + pos, messageLength);
            pos += messageLength;
        } else {
            // Incomplete: the data bytes taken so far are dropped, a status byte that cut the
            // message short starts the next one.
            pos += i;
        }
    }
}

size_t CHfcMidiSegmentParser::Collect(const uint8_t* bytes, size_t length, size_t from) {
    size_t i = from;
    while (i < length) {
        uint8_t byte = bytes[i];
        if (IsData(byte)) {
            size_t end = i + 1;
            while (end < length && IsData(bytes[end])) {
                ++end;
            }
            if (!buffer_.Append(bytes + i, end - i)) {
                EfTrace("CHfcMidi: SysEx message longer than %zu bytes discarded",
                        CSysExBuffer::kMaxLength);
                Reset();
                return end;
            }
            SetReceiving(true);
            i = end;
            continue;
        }
        if (byte >= kFirstRealTime) {
            // Real-time bytes (clock, start, stop, active sensing, reset...) may come anywhere,
            // also between the pieces of a dump: they pass through and collection goes on.
            sink_.OnSegmentShortMessage(bytes + i, 1);
            ++i;
            continue;
        }
        if (byte == kEox) {
            if (!buffer_.Append(kEox)) {
                Reset();
                return i + 1;
            }
            buffer_.SetInSysEx(false);
            // Complete: whoever is told about the message already sees the reception as over.
            SetReceiving(false);
            sink_.OnSegmentSysExProgress(bytes, i + 1);
            sink_.OnSegmentSysExComplete(buffer_.Data(), buffer_.Length());
            Reset();
            return i + 1;
        }
        // An F0 restarts collection and any other status byte abandons the message; either way
        // the partial message is dropped and the byte is parsed afresh.
        Reset();
        return i;
    }
    sink_.OnSegmentSysExProgress(bytes, length);
    return length;
}
