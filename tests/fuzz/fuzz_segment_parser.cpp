#include <cstddef>
#include <cstdint>

#include "midi/port/CHfcMidiSegmentParser.h"

namespace {

// Checks what the parser reports: every complete SysEx message runs from F0 to F7 with data
// bytes only in between, and every short message starts with a status byte.
class CheckingSink : public CHfcMidiSegmentSink {
public:
    void OnSegmentShortMessage(const uint8_t* bytes, size_t length) override {
        if (length < 1 || length > 3 || bytes[0] < 0x80 || bytes[0] == 0xf0) {
            __builtin_trap();
        }
    }
    void OnSegmentSysExProgress(const uint8_t*, size_t) override {}
    void OnSegmentSysExComplete(const uint8_t* bytes, size_t length) override {
        if (length < 2 || bytes[0] != 0xf0 || bytes[length - 1] != 0xf7) {
            __builtin_trap();
        }
        for (size_t i = 1; i + 1 < length; ++i) {
            if (bytes[i] >= 0x80) {
                __builtin_trap();
            }
        }
    }
    void OnSegmentReceivingChanged(bool) override {}
};

} // namespace

// The first byte of the input chooses the segment size; the rest is the byte stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    size_t segment = size_t(data[0]) + 1;
    CheckingSink sink;
    CHfcMidiSegmentParser parser(sink);
    for (size_t pos = 1; pos < size; pos += segment) {
        size_t length = size - pos < segment ? size - pos : segment;
        parser.Parse(data + pos, length);
    }
    return 0;
}
