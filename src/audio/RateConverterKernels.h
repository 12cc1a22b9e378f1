#pragma once

// The AVX2 inner loops of CTarnRateConverter (compiled with AVX2, see simd.cmake; only called
// after a run-time CPU check). They follow the plain code's order exactly: eight interleaved
// sums (tap j goes to sum j % 8) reduced as ((s0 + s4) + (s2 + s6)) + ((s1 + s5) + (s3 + s7)),
// every product and sum rounded on its own. taps is a multiple of 8.
namespace rateconv {

#if defined(__x86_64__)
bool HasAvx2();
float DotAvx2(const float* coeffs, const float* a, int taps);
// *ys[i] := the product of rows[i] and xs[i], for i = 0..3.
void Dot4Avx2(const float* const* rows, const float* const* xs, int taps, float* const* ys);
// row := base + alpha * slope
void InterpolateAvx2(const float* base, const float* slope, float alpha, int taps, float* row);
#endif

} // namespace rateconv
