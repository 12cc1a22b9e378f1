#include "midi/port/CSysExBuffer.h"

#include <algorithm>

void CSysExBuffer::Reset() {
    bytes_.clear();
    inSysEx_ = false;
}

bool CSysExBuffer::Append(uint8_t byte) {
    return Append(&byte, 1);
}

bool CSysExBuffer::Append(const uint8_t* bytes, size_t length) {
    size_t needed = bytes_.size() + length;
    if (needed > kMaxLength) {
        return false;
    }
    if (needed > bytes_.capacity()) {
        // Grow by half the capacity so that a multi-megabyte dump needs few reallocations.
        bytes_.reserve(std::max(needed, bytes_.capacity() + bytes_.capacity() / 2));
    }
    bytes_.insert(bytes_.end(), bytes, bytes + length);
    return true;
}
