#include "audio/RateConverterKernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace rateconv {
namespace {

float Reduce(__m256 sums) {
    __m128 x = _mm_add_ps(_mm256_castps256_ps128(sums), _mm256_extractf128_ps(sums, 1));
    x = _mm_add_ps(x, _mm_movehl_ps(x, x));
    return _mm_cvtss_f32(_mm_add_ss(x, _mm_shuffle_ps(x, x, 1)));
}

} // namespace

bool HasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

float DotAvx2(const float* coeffs, const float* a, int taps) {
    __m256 s = _mm256_mul_ps(_mm256_loadu_ps(coeffs), _mm256_loadu_ps(a));
    for (int j = 8; j < taps; j += 8) {
        s = _mm256_add_ps(s, _mm256_mul_ps(_mm256_loadu_ps(coeffs + j), _mm256_loadu_ps(a + j)));
    }
    return Reduce(s);
}

void Dot4Avx2(const float* const* rows, const float* const* xs, int taps, float* const* ys) {
    __m256 s0 = _mm256_mul_ps(_mm256_loadu_ps(rows[0]), _mm256_loadu_ps(xs[0]));
    __m256 s1 = _mm256_mul_ps(_mm256_loadu_ps(rows[1]), _mm256_loadu_ps(xs[1]));
    __m256 s2 = _mm256_mul_ps(_mm256_loadu_ps(rows[2]), _mm256_loadu_ps(xs[2]));
    __m256 s3 = _mm256_mul_ps(_mm256_loadu_ps(rows[3]), _mm256_loadu_ps(xs[3]));
    for (int j = 8; j < taps; j += 8) {
        s0 = _mm256_add_ps(s0,
                           _mm256_mul_ps(_mm256_loadu_ps(rows[0] + j), _mm256_loadu_ps(xs[0] + j)));
        s1 = _mm256_add_ps(s1,
                           _mm256_mul_ps(_mm256_loadu_ps(rows[1] + j), _mm256_loadu_ps(xs[1] + j)));
        s2 = _mm256_add_ps(s2,
                           _mm256_mul_ps(_mm256_loadu_ps(rows[2] + j), _mm256_loadu_ps(xs[2] + j)));
        s3 = _mm256_add_ps(s3,
                           _mm256_mul_ps(_mm256_loadu_ps(rows[3] + j), _mm256_loadu_ps(xs[3] + j)));
    }
    *ys[0] = Reduce(s0);
    *ys[1] = Reduce(s1);
    *ys[2] = Reduce(s2);
    *ys[3] = Reduce(s3);
}

void InterpolateAvx2(const float* base, const float* slope, float alpha, int taps, float* row) {
    const __m256 a = _mm256_set1_ps(alpha);
    for (int j = 0; j < taps; j += 8) {
        _mm256_storeu_ps(row + j, _mm256_add_ps(_mm256_loadu_ps(base + j),
                                                _mm256_mul_ps(a, _mm256_loadu_ps(slope + j))));
    }
}

} // namespace rateconv

#endif
