#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One external-controller row as it travels on the clipboard: the row, its kind and the row's four
// record bytes. The 12-byte clipboard form keeps row and kind as 32-bit little-endian integers.
struct ExtCtrlEntry {
    static constexpr size_t kClipboardSize = 12;

    int32_t row = 0;
    int32_t kind = 0;
    std::array<uint8_t, 4> bytes{};

    void ToBytes(uint8_t* out) const;
    // False for a null or short buffer.
    bool FromBytes(const uint8_t* in, size_t size);
};
