#include "audio/TarnExtendedFloat.h"

#include <cmath>

#include "framework/EfByteOrder.h"

namespace tarn {

namespace {
constexpr int kBias = 16383;
}

double ReadExtended80(const uint8_t* p) {
    const uint16_t signExponent = ef::ReadBE16(p);
    const uint64_t mantissa = (uint64_t(ef::ReadBE32(p + 2)) << 32) | ef::ReadBE32(p + 6);
    const int exponent = signExponent & 0x7FFF;
    if (exponent == 0x7FFF || mantissa == 0) {
        return 0.0;
    }
    const double magnitude = std::ldexp(static_cast<double>(mantissa), exponent - kBias - 63);
    return (signExponent & 0x8000) ? -magnitude : magnitude;
}

void WriteExtended80(uint8_t* p, double value) {
    uint16_t signExponent = 0;
    uint64_t mantissa = 0;
    if (std::isfinite(value) && value != 0.0) {
        int exponent = 0;
        const double fraction = std::frexp(std::fabs(value), &exponent);
        mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
        signExponent = static_cast<uint16_t>((exponent - 1 + kBias) | (value < 0 ? 0x8000 : 0));
    }
    ef::WriteBE16(p, signExponent);
    ef::WriteBE32(p + 2, static_cast<uint32_t>(mantissa >> 32));
    ef::WriteBE32(p + 6, static_cast<uint32_t>(mantissa));
}

} // namespace tarn
