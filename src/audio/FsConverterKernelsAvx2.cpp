#include "audio/FsConverterKernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include "audio/FsConverterLoop.h"

namespace fsconv {
namespace {

// The reference's eight sums in one register, reduced in the reference order.
float Reduce(__m256 sums) {
    __m128 x = _mm_add_ps(_mm256_castps256_ps128(sums), _mm256_extractf128_ps(sums, 1));
    x = _mm_add_ps(x, _mm_movehl_ps(x, x));
    return _mm_cvtss_f32(_mm_add_ss(x, _mm_shuffle_ps(x, x, 1)));
}

// Eight taps at a time, multiply and add rounded apart as the reference does; two channels share
// each coefficient load.
void DotAvx2(const State& s, const float* coeffs, int length, int newest, float* const* out,
             int n) {
    const int first = newest + kRingSize - (length - 1);
    int c = 0;
    for (; c + 2 <= s.channels; c += 2) {
        const float* h0 = s.history[c] + first;
        const float* h1 = s.history[c + 1] + first;
        __m256 k = _mm256_load_ps(coeffs);
        __m256 a = _mm256_mul_ps(k, _mm256_loadu_ps(h0));
        __m256 b = _mm256_mul_ps(k, _mm256_loadu_ps(h1));
        for (int i = 8; i < length; i += 8) {
            k = _mm256_load_ps(coeffs + i);
            a = _mm256_add_ps(a, _mm256_mul_ps(k, _mm256_loadu_ps(h0 + i)));
            b = _mm256_add_ps(b, _mm256_mul_ps(k, _mm256_loadu_ps(h1 + i)));
        }
        out[c][n] = Reduce(a);
        out[c + 1][n] = Reduce(b);
    }
    if (c < s.channels) {
        const float* h0 = s.history[c] + first;
        __m256 a = _mm256_mul_ps(_mm256_load_ps(coeffs), _mm256_loadu_ps(h0));
        for (int i = 8; i < length; i += 8) {
            a = _mm256_add_ps(a,
                              _mm256_mul_ps(_mm256_load_ps(coeffs + i), _mm256_loadu_ps(h0 + i)));
        }
        out[c][n] = Reduce(a);
    }
}

// The sums of one output of chunks * 8 taps for two channels, coefficients in registers.
template <int kChunks>
inline void Pair(const __m256* k, const float* h0, const float* h1, float& y0, float& y1) {
    __m256 a = _mm256_mul_ps(k[0], _mm256_loadu_ps(h0));
    __m256 b = _mm256_mul_ps(k[0], _mm256_loadu_ps(h1));
#pragma GCC unroll 16
    for (int i = 1; i < kChunks; ++i) {
        a = _mm256_add_ps(a, _mm256_mul_ps(k[i], _mm256_loadu_ps(h0 + 8 * i)));
        b = _mm256_add_ps(b, _mm256_mul_ps(k[i], _mm256_loadu_ps(h1 + 8 * i)));
    }
    y0 = Reduce(a);
    y1 = Reduce(b);
}

// A batch of outputs sharing one phase of chunks * 8 taps: the coefficients stay in registers.
// Two outputs are interleaved so that four independent chains of additions hide their latency.
template <int kChunks>
void BatchInRegisters(const State& s, const float* coeffs, int newest, int count, float* const* out,
                      int n) {
    __m256 k[kChunks];
#pragma GCC unroll 16
    for (int i = 0; i < kChunks; ++i) {
        k[i] = _mm256_load_ps(coeffs + 8 * i);
    }
    const int back = kRingSize - (kChunks * 8 - 1);
    auto first = [&](int j) {
        return static_cast<int>((newest + int64_t{j} * s.down) & kRingMask) + back;
    };
    int c = 0;
    for (; c + 2 <= s.channels; c += 2) {
        const float* h0 = s.history[c];
        const float* h1 = s.history[c + 1];
        float* y0 = out[c];
        float* y1 = out[c + 1];
        int j = 0;
        for (; j + 2 <= count; j += 2) {
            const int f0 = first(j);
            const int f1 = first(j + 1);
            __m256 a0 = _mm256_mul_ps(k[0], _mm256_loadu_ps(h0 + f0));
            __m256 b0 = _mm256_mul_ps(k[0], _mm256_loadu_ps(h1 + f0));
            __m256 a1 = _mm256_mul_ps(k[0], _mm256_loadu_ps(h0 + f1));
            __m256 b1 = _mm256_mul_ps(k[0], _mm256_loadu_ps(h1 + f1));
#pragma GCC unroll 16
            for (int i = 1; i < kChunks; ++i) {
                a0 = _mm256_add_ps(a0, _mm256_mul_ps(k[i], _mm256_loadu_ps(h0 + f0 + 8 * i)));
                b0 = _mm256_add_ps(b0, _mm256_mul_ps(k[i], _mm256_loadu_ps(h1 + f0 + 8 * i)));
                a1 = _mm256_add_ps(a1, _mm256_mul_ps(k[i], _mm256_loadu_ps(h0 + f1 + 8 * i)));
                b1 = _mm256_add_ps(b1, _mm256_mul_ps(k[i], _mm256_loadu_ps(h1 + f1 + 8 * i)));
            }
            y0[n + j * s.up] = Reduce(a0);
            y1[n + j * s.up] = Reduce(b0);
            y0[n + (j + 1) * s.up] = Reduce(a1);
            y1[n + (j + 1) * s.up] = Reduce(b1);
        }
        if (j < count) {
            Pair<kChunks>(k, h0 + first(j), h1 + first(j), y0[n + j * s.up], y1[n + j * s.up]);
        }
    }
    if (c < s.channels) {
        const float* h0 = s.history[c];
        for (int j = 0; j < count; ++j) {
            const float* h = h0 + first(j);
            __m256 a = _mm256_mul_ps(k[0], _mm256_loadu_ps(h));
#pragma GCC unroll 16
            for (int i = 1; i < kChunks; ++i) {
                a = _mm256_add_ps(a, _mm256_mul_ps(k[i], _mm256_loadu_ps(h + 8 * i)));
            }
            out[c][n + j * s.up] = Reduce(a);
        }
    }
}

// Phases of up to 13 chunks (104 taps, the 44.1 -> 48 kHz design) fit the 16 vector registers
// beside the two sums; longer ones take the coefficients from memory.
void BatchAvx2(const State& s, const float* coeffs, int length, int newest, int count,
               float* const* out, int n) {
    switch (length / 8) {
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
        return ForEachOutput(s, coeffs, length, newest, count, out, n, DotAvx2);
    }
}

} // namespace

int ProcessAvx2(State& state, const float* const* inputs, float* const* outputs, int frames) {
    return RunPolyphase(state, inputs, outputs, frames, BatchAvx2);
}

} // namespace fsconv

#endif
