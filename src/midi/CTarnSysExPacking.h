#pragma once

#include <cstddef>
#include <cstdint>

// The instrument's 7-to-8 packing: every group of up to seven 8-bit bytes travels as one byte
// holding the group's top bits (bit j for the group's byte j) followed by the group's bytes with
// bit 7 cleared, so that dumps consist of MIDI data bytes only.
class CTarnSysExPacking {
public:
    // Bytes needed to carry n bytes in packed form: 256 -> 293, 30 -> 35, 16 -> 19, 8 -> 10.
    static constexpr size_t PackedSize(size_t n) {
        return (n / 7) * 8 + (n % 7 == 0 ? 0 : n % 7 + 1);
    }

    // Writes PackedSize(n) bytes to destination.
    static void Pack(uint8_t* destination, const uint8_t* source, size_t n);

    // Writes n bytes to destination, reading exactly PackedSize(n) bytes of source.
    static void Unpack(uint8_t* destination, const uint8_t* source, size_t n);
};
