#include "midi/CTarnSysExPacking.h"

void CTarnSysExPacking::Pack(uint8_t* destination, const uint8_t* source, size_t n) {
    size_t whole = n / 7;
    for (size_t g = 0; g < whole; ++g) {
        const uint8_t* in = source + g * 7;
        uint8_t* out = destination + g * 8;
        uint8_t msb = 0;
        for (int j = 0; j < 7; ++j) {
            msb |= static_cast<uint8_t>((in[j] >> 7) << j);
            out[j + 1] = in[j] & 0x7f;
        }
        out[0] = msb;
    }
    size_t rest = n % 7;
    if (rest != 0) {
        const uint8_t* in = source + whole * 7;
        uint8_t* out = destination + whole * 8;
        uint8_t msb = 0;
        for (size_t j = 0; j < rest; ++j) {
            msb |= static_cast<uint8_t>((in[j] >> 7) << j);
            out[j + 1] = in[j] & 0x7f;
        }
        out[0] = msb;
    }
}

void CTarnSysExPacking::Unpack(uint8_t* destination, const uint8_t* source, size_t n) {
    size_t whole = n / 7;
    for (size_t g = 0; g < whole; ++g) {
        const uint8_t* in = source + g * 8;
        uint8_t* out = destination + g * 7;
        uint8_t msb = in[0];
        for (int j = 0; j < 7; ++j) {
            out[j] = static_cast<uint8_t>(((msb >> j) & 1) << 7) | (in[j + 1] & 0x7f);
        }
    }
    size_t rest = n % 7;
    if (rest != 0) {
        const uint8_t* in = source + whole * 8;
        uint8_t* out = destination + whole * 7;
        uint8_t msb = in[0];
        for (size_t j = 0; j < rest; ++j) {
            out[j] = static_cast<uint8_t>(((msb >> j) & 1) << 7) | (in[j + 1] & 0x7f);
        }
    }
}
