#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "midi/port/ReceivedMidiBufferItem.h"

namespace midi {

// First-in first-out queue of received messages. Not locked: its owner guards it.
class ReceivedMidiBuffer {
public:
    void Push(const uint8_t* bytes, size_t length, int kind = -1);
    void Push(const ReceivedMidiBufferItem& item);
    // The oldest item, removed from the queue; the empty item when the queue is empty.
    ReceivedMidiBufferItem Pop();
    void Clear();
    size_t Count() const { return items_.size(); }

private:
    std::deque<ReceivedMidiBufferItem> items_;
};

} // namespace midi
