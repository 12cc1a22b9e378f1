#include "audio/FsConverterKernels.h"

#include "framework/EfByteOrder.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fsconv {

int32_t ClipToPcm(float value, int maximum) {
    const auto limit = static_cast<float>(maximum);
    if (value >= limit) {
        return maximum;
    }
    if (value <= -limit) {
        return -maximum;
    }
    if (value == value) {
        return static_cast<int32_t>(value);
    }
    return 0;
}

void Pcm16StereoToFloat(const uint8_t* pcm, int frames, float scale, float* left, float* right) {
    int i = 0;
#if defined(__SSE2__)
    // x86 is little-endian: four frames are four 32-bit words, left in the low halves.
    const __m128 divisor = _mm_set1_ps(scale);
    for (; i + 4 <= frames; i += 4) {
        const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pcm + 4 * i));
        const __m128i l = _mm_srai_epi32(_mm_slli_epi32(words, 16), 16);
        const __m128i r = _mm_srai_epi32(words, 16);
        _mm_storeu_ps(left + i, _mm_div_ps(_mm_cvtepi32_ps(l), divisor));
        _mm_storeu_ps(right + i, _mm_div_ps(_mm_cvtepi32_ps(r), divisor));
    }
#endif
    for (; i < frames; ++i) {
        left[i] = static_cast<float>(static_cast<int16_t>(ef::ReadLE16(pcm + 4 * i))) / scale;
        right[i] = static_cast<float>(static_cast<int16_t>(ef::ReadLE16(pcm + 4 * i + 2))) / scale;
    }
}

void FloatToPcm16Stereo(const float* left, const float* right, int frames, float scale, int maximum,
                        uint8_t* pcm) {
    const auto limit = static_cast<float>(maximum);
    int i = 0;
#if defined(__SSE2__)
    const __m128 factor = _mm_set1_ps(scale);
    const __m128 high = _mm_set1_ps(limit);
    const __m128 low = _mm_set1_ps(-limit);
    for (; i + 4 <= frames; i += 4) {
        const __m128 l = _mm_mul_ps(factor, _mm_loadu_ps(left + i));
        const __m128 r = _mm_mul_ps(factor, _mm_loadu_ps(right + i));
        // Clipped in float before the truncating conversion, as ClipToPcm does.
        const __m128i li = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(l, low), high));
        const __m128i ri = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(r, low), high));
        const __m128i packed = _mm_packs_epi32(li, ri);
        const __m128i frames4 = _mm_unpacklo_epi16(packed, _mm_srli_si128(packed, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pcm + 4 * i), frames4);
    }
#endif
    for (; i < frames; ++i) {
        ef::WriteLE16(pcm + 4 * i, static_cast<uint16_t>(ClipToPcm(scale * left[i], maximum)));
        ef::WriteLE16(pcm + 4 * i + 2, static_cast<uint16_t>(ClipToPcm(scale * right[i], maximum)));
    }
}

} // namespace fsconv
