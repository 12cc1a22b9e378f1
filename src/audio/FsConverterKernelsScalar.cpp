#include "audio/FsConverterKernels.h"
#include "audio/FsConverterLoop.h"

namespace fsconv {

// The reference every kernel reproduces bit for bit: eight interleaved sums over the stored
// taps (tap i goes to sum i % 8, oldest input first), each started with its first product, then
// reduced as ((s0 + s4) + (s2 + s6)) + ((s1 + s5) + (s3 + s7)). Every product and sum is rounded
// on its own (no fused multiply-add), in single precision.
float ReferenceDot(const float* coeffs, const float* history, int length) {
    float s[kTapAlignment];
    for (int l = 0; l < kTapAlignment; ++l) {
        s[l] = coeffs[l] * history[l];
    }
    for (int i = kTapAlignment; i < length; i += kTapAlignment) {
        for (int l = 0; l < kTapAlignment; ++l) {
            s[l] = s[l] + coeffs[i + l] * history[i + l];
        }
    }
    const float x0 = s[0] + s[4];
    const float x1 = s[1] + s[5];
    const float x2 = s[2] + s[6];
    const float x3 = s[3] + s[7];
    return (x0 + x2) + (x1 + x3);
}

int ProcessScalar(State& state, const float* const* inputs, float* const* outputs, int frames) {
    auto dot = [](const State& s, const float* coeffs, int length, int newest, float* const* out,
                  int n) {
        const int first = newest + kRingSize - (length - 1);
        for (int c = 0; c < s.channels; ++c) {
            out[c][n] = ReferenceDot(coeffs, s.history[c] + first, length);
        }
    };
    return RunPolyphase(state, inputs, outputs, frames,
                        [&](const State& s, const float* coeffs, int length, int newest, int count,
                            float* const* out, int n) {
                            ForEachOutput(s, coeffs, length, newest, count, out, n, dot);
                        });
}

} // namespace fsconv
