#include "midi/port/ReceivedMidiBuffer.h"

namespace midi {

void ReceivedMidiBuffer::Push(const uint8_t* bytes, size_t length, int kind) {
    ReceivedMidiBufferItem item;
    if (bytes && length > 0) {
        item.bytes.assign(bytes, bytes + length);
    }
    item.kind = kind;
    items_.push_back(std::move(item));
}

void ReceivedMidiBuffer::Push(const ReceivedMidiBufferItem& item) {
    items_.push_back(item);
}

ReceivedMidiBufferItem ReceivedMidiBuffer::Pop() {
    if (items_.empty()) {
        return {};
    }
    ReceivedMidiBufferItem item = std::move(items_.front());
    items_.pop_front();
    return item;
}

void ReceivedMidiBuffer::Clear() {
    items_.clear();
}

} // namespace midi
