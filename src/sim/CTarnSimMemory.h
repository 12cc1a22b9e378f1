#pragma once

#include <array>
#include <cstdint>
#include <vector>

// One loop-recorder bank as the instrument keeps it: the 16-byte native header and the native
// sample data it describes (((NumSamples >> 10) + 1) * 4 bytes; empty for an empty bank).
struct CTarnSimBank {
    std::array<uint8_t, 16> header{};
    std::vector<uint8_t> data;

    bool operator==(const CTarnSimBank&) const = default;
};

// Everything the virtual instrument stores, as native byte images.
struct CTarnSimMemory {
    static constexpr int kPrograms = 8;
    static constexpr int kBanks = 4;

    std::array<uint8_t, 256> global{};
    std::array<std::array<uint8_t, 30>, kPrograms> programs{};
    std::array<CTarnSimBank, kBanks> banks{};

    bool operator==(const CTarnSimMemory&) const = default;
};
