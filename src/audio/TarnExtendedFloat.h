#pragma once

#include <cstdint>

// The 80-bit IEEE 754 extended format of AIFF sampling rates: big-endian sign and 15-bit
// exponent, then a 64-bit mantissa with an explicit integer bit.
namespace tarn {

// Infinities and NaNs read as 0, which no rate check accepts.
double ReadExtended80(const uint8_t* p);
// Writes 10 bytes; 0 and values that are not finite are written as 0.
void WriteExtended80(uint8_t* p, double value);

} // namespace tarn
