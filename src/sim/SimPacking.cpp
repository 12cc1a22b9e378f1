#include "sim/SimPacking.h"

namespace sim {

size_t PackedSize(size_t n) {
    return n / 7 * 8 + (n % 7 == 0 ? 0 : n % 7 + 1);
}

std::vector<uint8_t> Pack(const uint8_t* data, size_t n) {
    std::vector<uint8_t> out;
    out.reserve(PackedSize(n));
    for (size_t group = 0; group < n; group += 7) {
        const size_t k = n - group < 7 ? n - group : 7;
        uint8_t msbs = 0;
        for (size_t j = 0; j < k; ++j) {
            msbs |= static_cast<uint8_t>((data[group + j] >> 7) << j);
        }
        out.push_back(msbs);
        for (size_t j = 0; j < k; ++j) {
            out.push_back(data[group + j] & 0x7F);
        }
    }
    return out;
}

bool Unpack(const uint8_t* packed, size_t packedLength, uint8_t* out, size_t n) {
    if (packedLength < PackedSize(n)) {
        return false;
    }
    size_t in = 0;
    for (size_t group = 0; group < n; group += 7) {
        const size_t k = n - group < 7 ? n - group : 7;
        const uint8_t msbs = packed[in++];
        for (size_t j = 0; j < k; ++j) {
            out[group + j] = static_cast<uint8_t>(((msbs >> j) & 1) << 7 | (packed[in++] & 0x7F));
        }
    }
    return true;
}

} // namespace sim
