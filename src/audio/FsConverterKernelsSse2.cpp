#include "audio/FsConverterKernels.h"

#if defined(__x86_64__)

#include <emmintrin.h>

#include "audio/FsConverterLoop.h"

namespace fsconv {
namespace {

// Sums 0-3 in low, 4-7 in high, reduced in the reference order.
float Reduce(__m128 low, __m128 high) {
    __m128 x = _mm_add_ps(low, high);
    x = _mm_add_ps(x, _mm_movehl_ps(x, x));
    return _mm_cvtss_f32(_mm_add_ss(x, _mm_shuffle_ps(x, x, 1)));
}

// Four taps per register, the reference's eight sums in two registers; two channels share each
// coefficient load.
void DotSse2(const State& s, const float* coeffs, int length, int newest, float* const* out,
             int n) {
    const int first = newest + kRingSize - (length - 1);
    int c = 0;
    for (; c + 2 <= s.channels; c += 2) {
        const float* h0 = s.history[c] + first;
        const float* h1 = s.history[c + 1] + first;
        __m128 k0 = _mm_load_ps(coeffs);
        __m128 k1 = _mm_load_ps(coeffs + 4);
        __m128 a0 = _mm_mul_ps(k0, _mm_loadu_ps(h0));
        __m128 a1 = _mm_mul_ps(k1, _mm_loadu_ps(h0 + 4));
        __m128 b0 = _mm_mul_ps(k0, _mm_loadu_ps(h1));
        __m128 b1 = _mm_mul_ps(k1, _mm_loadu_ps(h1 + 4));
        for (int i = 8; i < length; i += 8) {
            k0 = _mm_load_ps(coeffs + i);
            k1 = _mm_load_ps(coeffs + i + 4);
            a0 = _mm_add_ps(a0, _mm_mul_ps(k0, _mm_loadu_ps(h0 + i)));
            a1 = _mm_add_ps(a1, _mm_mul_ps(k1, _mm_loadu_ps(h0 + i + 4)));
            b0 = _mm_add_ps(b0, _mm_mul_ps(k0, _mm_loadu_ps(h1 + i)));
            b1 = _mm_add_ps(b1, _mm_mul_ps(k1, _mm_loadu_ps(h1 + i + 4)));
        }
        out[c][n] = Reduce(a0, a1);
        out[c + 1][n] = Reduce(b0, b1);
    }
    if (c < s.channels) {
        const float* h0 = s.history[c] + first;
        __m128 a0 = _mm_mul_ps(_mm_load_ps(coeffs), _mm_loadu_ps(h0));
        __m128 a1 = _mm_mul_ps(_mm_load_ps(coeffs + 4), _mm_loadu_ps(h0 + 4));
        for (int i = 8; i < length; i += 8) {
            a0 = _mm_add_ps(a0, _mm_mul_ps(_mm_load_ps(coeffs + i), _mm_loadu_ps(h0 + i)));
            a1 = _mm_add_ps(a1, _mm_mul_ps(_mm_load_ps(coeffs + i + 4), _mm_loadu_ps(h0 + i + 4)));
        }
        out[c][n] = Reduce(a0, a1);
    }
}

} // namespace

int ProcessSse2(State& state, const float* const* inputs, float* const* outputs, int frames) {
    return RunPolyphase(state, inputs, outputs, frames,
                        [](const State& s, const float* coeffs, int length, int newest, int count,
                           float* const* out, int n) {
                            ForEachOutput(s, coeffs, length, newest, count, out, n, DotSse2);
                        });
}

} // namespace fsconv

#endif
