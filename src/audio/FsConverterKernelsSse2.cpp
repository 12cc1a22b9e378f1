#include "audio/FsConverterKernels.h"

#if defined(__x86_64__)

#include <emmintrin.h>

#include "audio/FsConverterLoop.h"

namespace fsconv {
namespace {

float Sum(__m128 v) {
    const __m128 pairs = _mm_add_ps(v, _mm_movehl_ps(v, v));
    return _mm_cvtss_f32(_mm_add_ss(pairs, _mm_shuffle_ps(pairs, pairs, 1)));
}

// The sums of a and of b, reduced together.
void Sum2(__m128 a, __m128 b, float& sumA, float& sumB) {
    __m128 x = _mm_add_ps(_mm_unpacklo_ps(a, b), _mm_unpackhi_ps(a, b));
    x = _mm_add_ps(x, _mm_movehl_ps(x, x));
    sumA = _mm_cvtss_f32(x);
    sumB = _mm_cvtss_f32(_mm_shuffle_ps(x, x, 1));
}

// Four taps at a time; two channels share each coefficient load.
void DotSse2(const State& s, const float* coeffs, int newest, float* const* out, int n) {
    const int first = newest + kRingSize - (s.stride - 1);
    int c = 0;
    for (; c + 2 <= s.channels; c += 2) {
        const float* h0 = s.history[c] + first;
        const float* h1 = s.history[c + 1] + first;
        __m128 a0 = _mm_setzero_ps();
        __m128 a1 = _mm_setzero_ps();
        __m128 b0 = _mm_setzero_ps();
        __m128 b1 = _mm_setzero_ps();
        for (int i = 0; i < s.stride; i += 8) {
            const __m128 k0 = _mm_load_ps(coeffs + i);
            const __m128 k1 = _mm_load_ps(coeffs + i + 4);
            a0 = _mm_add_ps(a0, _mm_mul_ps(k0, _mm_loadu_ps(h0 + i)));
            a1 = _mm_add_ps(a1, _mm_mul_ps(k1, _mm_loadu_ps(h0 + i + 4)));
            b0 = _mm_add_ps(b0, _mm_mul_ps(k0, _mm_loadu_ps(h1 + i)));
            b1 = _mm_add_ps(b1, _mm_mul_ps(k1, _mm_loadu_ps(h1 + i + 4)));
        }
        Sum2(_mm_add_ps(a0, a1), _mm_add_ps(b0, b1), out[c][n], out[c + 1][n]);
    }
    if (c < s.channels) {
        const float* h0 = s.history[c] + first;
        __m128 a0 = _mm_setzero_ps();
        __m128 a1 = _mm_setzero_ps();
        for (int i = 0; i < s.stride; i += 8) {
            a0 = _mm_add_ps(a0, _mm_mul_ps(_mm_load_ps(coeffs + i), _mm_loadu_ps(h0 + i)));
            a1 = _mm_add_ps(a1, _mm_mul_ps(_mm_load_ps(coeffs + i + 4), _mm_loadu_ps(h0 + i + 4)));
        }
        out[c][n] = Sum(_mm_add_ps(a0, a1));
    }
}

} // namespace

int ProcessSse2(State& state, const float* const* inputs, float* const* outputs, int frames) {
    return RunPolyphase(state, inputs, outputs, frames,
                        [](const State& s, const float* coeffs, int newest, int count,
                           float* const* out,
                           int n) { ForEachOutput(s, coeffs, newest, count, out, n, DotSse2); });
}

} // namespace fsconv

#endif
