#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Every byte-order conversion of the program goes through these helpers. Native images and
// editor files are big-endian; block tags and a few foreign file formats are little-endian.
namespace ef {

inline uint16_t ReadBE16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t ReadBE24(const uint8_t* p) {
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
}

inline uint32_t ReadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint16_t ReadLE16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t ReadLE24(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
}

inline uint32_t ReadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline uint64_t ReadLE64(const uint8_t* p) {
    return uint64_t(ReadLE32(p)) | (uint64_t(ReadLE32(p + 4)) << 32);
}

inline void WriteBE16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

inline void WriteBE24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 16);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v);
}

inline void WriteBE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

inline void WriteLE16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void WriteLE24(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
}

inline void WriteLE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

inline void WriteLE64(uint8_t* p, uint64_t v) {
    WriteLE32(p, static_cast<uint32_t>(v));
    WriteLE32(p + 4, static_cast<uint32_t>(v >> 32));
}

// A multi-character constant such as 'TXPG': the first character in the most significant byte.
constexpr uint32_t FourCC(const char (&s)[5]) {
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
           (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// Exchanges the two bytes of each of count 16-bit words from in to out (the same buffer or two
// that do not overlap): big-endian samples become little-endian ones and back. Sixteen bytes
// at a time where the processor has SSE2, so that a bank of audio costs about a copy.
inline void SwapBytes16(uint8_t* out, const uint8_t* in, size_t count) {
    const size_t bytes = count * 2;
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= bytes; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8)));
    }
#endif
    for (; i + 8 <= bytes; i += 8) {
        uint64_t v;
        std::memcpy(&v, in + i, sizeof v);
        v = ((v & 0x00FF00FF00FF00FFull) << 8) | ((v >> 8) & 0x00FF00FF00FF00FFull);
        std::memcpy(out + i, &v, sizeof v);
    }
    for (; i < bytes; i += 2) {
        const uint8_t high = in[i];
        out[i] = in[i + 1];
        out[i + 1] = high;
    }
}

// As SwapBytes16 into a large buffer that is not read again soon (a bank being loaded): the
// stores go around the processor's cache where SSE2 allows, so memory is written without first
// being read. out must not overlap in.
inline void SwapBytes16Streaming(uint8_t* out, const uint8_t* in, size_t count) {
    size_t done = 0;
#if defined(__SSE2__)
    const size_t bytes = count * 2;
    if (reinterpret_cast<uintptr_t>(out) % 16 == 0) {
        for (; done + 16 <= bytes; done += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + done),
                             _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8)));
        }
        _mm_sfence();
    }
#endif
    SwapBytes16(out + done, in + done, count - done / 2);
}

} // namespace ef
