#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace midi {

// One received message: its bytes and the reply kind given to it (-1 until classified). An item
// without bytes stands for nothing received.
struct ReceivedMidiBufferItem {
    std::vector<uint8_t> bytes;
    int kind = -1;

    size_t Length() const { return bytes.size(); }
    bool IsReceived() const { return !bytes.empty(); }
};

} // namespace midi
