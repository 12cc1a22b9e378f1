#include "audio/FsConverterKernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include "audio/FsConverterLoop.h"

namespace fsconv {
namespace {

float Sum(__m256 v) {
    __m128 x = _mm_add_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
    x = _mm_add_ps(x, _mm_movehl_ps(x, x));
    return _mm_cvtss_f32(_mm_add_ss(x, _mm_shuffle_ps(x, x, 1)));
}

// The sums of a and of b, reduced together.
void Sum2(__m256 a, __m256 b, float& sumA, float& sumB) {
    const __m256 pairs = _mm256_hadd_ps(a, b);
    __m128 x = _mm_add_ps(_mm256_castps256_ps128(pairs), _mm256_extractf128_ps(pairs, 1));
    x = _mm_hadd_ps(x, x);
    sumA = _mm_cvtss_f32(x);
    sumB = _mm_cvtss_f32(_mm_shuffle_ps(x, x, 1));
}

// Eight taps at a time with fused multiply-add; two channels share each coefficient load and
// four sums per channel hide the latency of the additions.
void DotAvx2(const State& s, const float* coeffs, int newest, float* const* out, int n) {
    const int first = newest + kRingSize - (s.stride - 1);
    const int wide = s.stride & ~31;
    int c = 0;
    for (; c + 2 <= s.channels; c += 2) {
        const float* h0 = s.history[c] + first;
        const float* h1 = s.history[c + 1] + first;
        __m256 a0 = _mm256_setzero_ps();
        __m256 a1 = _mm256_setzero_ps();
        __m256 a2 = _mm256_setzero_ps();
        __m256 a3 = _mm256_setzero_ps();
        __m256 b0 = _mm256_setzero_ps();
        __m256 b1 = _mm256_setzero_ps();
        __m256 b2 = _mm256_setzero_ps();
        __m256 b3 = _mm256_setzero_ps();
        int i = 0;
        for (; i < wide; i += 32) {
            const __m256 k0 = _mm256_load_ps(coeffs + i);
            const __m256 k1 = _mm256_load_ps(coeffs + i + 8);
            const __m256 k2 = _mm256_load_ps(coeffs + i + 16);
            const __m256 k3 = _mm256_load_ps(coeffs + i + 24);
            a0 = _mm256_fmadd_ps(k0, _mm256_loadu_ps(h0 + i), a0);
            b0 = _mm256_fmadd_ps(k0, _mm256_loadu_ps(h1 + i), b0);
            a1 = _mm256_fmadd_ps(k1, _mm256_loadu_ps(h0 + i + 8), a1);
            b1 = _mm256_fmadd_ps(k1, _mm256_loadu_ps(h1 + i + 8), b1);
            a2 = _mm256_fmadd_ps(k2, _mm256_loadu_ps(h0 + i + 16), a2);
            b2 = _mm256_fmadd_ps(k2, _mm256_loadu_ps(h1 + i + 16), b2);
            a3 = _mm256_fmadd_ps(k3, _mm256_loadu_ps(h0 + i + 24), a3);
            b3 = _mm256_fmadd_ps(k3, _mm256_loadu_ps(h1 + i + 24), b3);
        }
        for (; i < s.stride; i += 8) {
            const __m256 k0 = _mm256_load_ps(coeffs + i);
            a0 = _mm256_fmadd_ps(k0, _mm256_loadu_ps(h0 + i), a0);
            b0 = _mm256_fmadd_ps(k0, _mm256_loadu_ps(h1 + i), b0);
        }
        Sum2(_mm256_add_ps(_mm256_add_ps(a0, a1), _mm256_add_ps(a2, a3)),
             _mm256_add_ps(_mm256_add_ps(b0, b1), _mm256_add_ps(b2, b3)), out[c][n], out[c + 1][n]);
    }
    if (c < s.channels) {
        const float* h0 = s.history[c] + first;
        __m256 a0 = _mm256_setzero_ps();
        __m256 a1 = _mm256_setzero_ps();
        __m256 a2 = _mm256_setzero_ps();
        __m256 a3 = _mm256_setzero_ps();
        int i = 0;
        for (; i < wide; i += 32) {
            a0 = _mm256_fmadd_ps(_mm256_load_ps(coeffs + i), _mm256_loadu_ps(h0 + i), a0);
            a1 = _mm256_fmadd_ps(_mm256_load_ps(coeffs + i + 8), _mm256_loadu_ps(h0 + i + 8), a1);
            a2 = _mm256_fmadd_ps(_mm256_load_ps(coeffs + i + 16), _mm256_loadu_ps(h0 + i + 16), a2);
            a3 = _mm256_fmadd_ps(_mm256_load_ps(coeffs + i + 24), _mm256_loadu_ps(h0 + i + 24), a3);
        }
        for (; i < s.stride; i += 8) {
            a0 = _mm256_fmadd_ps(_mm256_load_ps(coeffs + i), _mm256_loadu_ps(h0 + i), a0);
        }
        out[c][n] = Sum(_mm256_add_ps(_mm256_add_ps(a0, a1), _mm256_add_ps(a2, a3)));
    }
}

// A batch of outputs sharing one phase of chunks * 8 taps: the coefficients stay in registers
// and every tap is one fused multiply-add with its history load folded in. Each output's chain
// of additions is independent of the next output's, so the CPU overlaps them.
template <int kChunks>
void BatchInRegisters(const State& s, const float* coeffs, int newest, int count, float* const* out,
                      int n) {
    __m256 k[kChunks];
#pragma GCC unroll 16
    for (int i = 0; i < kChunks; ++i) {
        k[i] = _mm256_load_ps(coeffs + 8 * i);
    }
    const int back = kRingSize - (s.stride - 1);
    for (int j = 0; j < count; ++j) {
        const int first = static_cast<int>((newest + int64_t{j} * s.down) & kRingMask) + back;
        const int index = n + j * s.up;
        int c = 0;
        for (; c + 2 <= s.channels; c += 2) {
            const float* h0 = s.history[c] + first;
            const float* h1 = s.history[c + 1] + first;
            __m256 a = _mm256_mul_ps(k[0], _mm256_loadu_ps(h0));
            __m256 b = _mm256_mul_ps(k[0], _mm256_loadu_ps(h1));
#pragma GCC unroll 16
            for (int i = 1; i < kChunks; ++i) {
                a = _mm256_fmadd_ps(k[i], _mm256_loadu_ps(h0 + 8 * i), a);
                b = _mm256_fmadd_ps(k[i], _mm256_loadu_ps(h1 + 8 * i), b);
            }
            Sum2(a, b, out[c][index], out[c + 1][index]);
        }
        if (c < s.channels) {
            const float* h0 = s.history[c] + first;
            __m256 a = _mm256_mul_ps(k[0], _mm256_loadu_ps(h0));
#pragma GCC unroll 16
            for (int i = 1; i < kChunks; ++i) {
                a = _mm256_fmadd_ps(k[i], _mm256_loadu_ps(h0 + 8 * i), a);
            }
            out[c][index] = Sum(a);
        }
    }
}

// Phases of up to 13 chunks (104 taps, the 44.1 -> 48 kHz design) fit the 16 vector registers
// beside the two sums; longer ones take the coefficients from memory.
void BatchAvx2(const State& s, const float* coeffs, int newest, int count, float* const* out,
               int n) {
    switch (s.stride / 8) {
    case 1:
        return BatchInRegisters<1>(s, coeffs, newest, count, out, n);
    case 2:
        return BatchInRegisters<2>(s, coeffs, newest, count, out, n);
    case 3:
        return BatchInRegisters<3>(s, coeffs, newest, count, out, n);
    case 4:
        return BatchInRegisters<4>(s, coeffs, newest, count, out, n);
    case 5:
        return BatchInRegisters<5>(s, coeffs, newest, count, out, n);
    case 6:
        return BatchInRegisters<6>(s, coeffs, newest, count, out, n);
    case 7:
        return BatchInRegisters<7>(s, coeffs, newest, count, out, n);
    case 8:
        return BatchInRegisters<8>(s, coeffs, newest, count, out, n);
    case 9:
        return BatchInRegisters<9>(s, coeffs, newest, count, out, n);
    case 10:
        return BatchInRegisters<10>(s, coeffs, newest, count, out, n);
    case 11:
        return BatchInRegisters<11>(s, coeffs, newest, count, out, n);
    case 12:
        return BatchInRegisters<12>(s, coeffs, newest, count, out, n);
    case 13:
        return BatchInRegisters<13>(s, coeffs, newest, count, out, n);
    default:
        return ForEachOutput(s, coeffs, newest, count, out, n, DotAvx2);
    }
}

} // namespace

int ProcessAvx2Fma(State& state, const float* const* inputs, float* const* outputs, int frames) {
    return RunPolyphase(state, inputs, outputs, frames, BatchAvx2);
}

} // namespace fsconv

#endif
