#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "midi/CTarnSysExPacking.h"

namespace {

std::vector<uint8_t> Pack(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(CTarnSysExPacking::PackedSize(in.size()));
    CTarnSysExPacking::Pack(out.data(), in.data(), in.size());
    return out;
}

TEST(SysExPacking, PackedSizeTable) {
    const std::pair<size_t, size_t> table[] = {
        {0, 0},   {1, 2},   {6, 7},   {7, 8},     {8, 10}, {13, 15},           {14, 16},
        {15, 18}, {16, 19}, {30, 35}, {256, 293}, {4, 5},  {1699844, 1942679},
    };
    for (auto [n, packed] : table) {
        EXPECT_EQ(CTarnSysExPacking::PackedSize(n), packed) << n;
    }
}

TEST(SysExPacking, KnownVectors) {
    EXPECT_TRUE(Pack({}).empty());
    EXPECT_EQ(Pack({0x80, 0, 0, 0, 0, 0, 0}), (std::vector<uint8_t>{0x01, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Pack({0, 0, 0, 0, 0, 0, 0xff}), (std::vector<uint8_t>{0x40, 0, 0, 0, 0, 0, 0, 0x7f}));
    // A second group of one byte gets its own MSB byte.
    EXPECT_EQ(Pack({1, 2, 3, 4, 5, 6, 7, 0x88}),
              (std::vector<uint8_t>{0x00, 1, 2, 3, 4, 5, 6, 7, 0x01, 0x08}));
    EXPECT_EQ(Pack({0xff, 0x7f, 0x81}), (std::vector<uint8_t>{0x05, 0x7f, 0x7f, 0x01}));
}

TEST(SysExPacking, SeededRandomRoundTrips) {
    std::mt19937 rng(20260812);
    for (size_t n = 0; n < 300; ++n) {
        std::vector<uint8_t> in(n);
        for (uint8_t& b : in) {
            b = static_cast<uint8_t>(rng());
        }
        // A guard byte after the packed form shows that Pack writes exactly PackedSize(n).
        std::vector<uint8_t> packed(CTarnSysExPacking::PackedSize(n) + 1, 0xee);
        CTarnSysExPacking::Pack(packed.data(), in.data(), n);
        ASSERT_EQ(packed.back(), 0xee) << n;
        packed.pop_back();
        for (uint8_t b : packed) {
            ASSERT_LT(b, 0x80) << n;
        }
        std::vector<uint8_t> out(n + 1, 0xee);
        CTarnSysExPacking::Unpack(out.data(), packed.data(), n);
        ASSERT_EQ(out.back(), 0xee) << n;
        out.pop_back();
        ASSERT_EQ(out, in) << n;
    }
}

TEST(SysExPacking, UnpackReadsOnlyThePackedSize) {
    // The unpacker is told the unpacked length; bytes after the packed form (here the F7 and
    // whatever follows) are never read into the result.
    std::vector<uint8_t> packed = Pack({0x90, 0x10});
    packed.push_back(0xf7);
    std::vector<uint8_t> out(2);
    CTarnSysExPacking::Unpack(out.data(), packed.data(), 2);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x90, 0x10}));
}

} // namespace
