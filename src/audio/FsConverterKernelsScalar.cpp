#include "audio/FsConverterKernels.h"
#include "audio/FsConverterLoop.h"

namespace fsconv {

// The reference: taps summed one at a time, newest input first, in single precision. Channel
// pairs share the loop (two independent sums) without changing either sum's order.
int ProcessScalar(State& state, const float* const* inputs, float* const* outputs, int frames) {
    auto dot = [](const State& s, const float* coeffs, int newest, float* const* out, int n) {
        const float* last = coeffs + s.stride - 1;
        int c = 0;
        for (; c + 2 <= s.channels; c += 2) {
            const float* h0 = s.history[c] + newest + kRingSize;
            const float* h1 = s.history[c + 1] + newest + kRingSize;
            float y0 = 0.0f;
            float y1 = 0.0f;
            for (int k = 0; k < s.taps; ++k) {
                y0 += last[-k] * h0[-k];
                y1 += last[-k] * h1[-k];
            }
            out[c][n] = y0;
            out[c + 1][n] = y1;
        }
        if (c < s.channels) {
            const float* h = s.history[c] + newest + kRingSize;
            float y = 0.0f;
            for (int k = 0; k < s.taps; ++k) {
                y += last[-k] * h[-k];
            }
            out[c][n] = y;
        }
    };
    return RunPolyphase(state, inputs, outputs, frames,
                        [&](const State& s, const float* coeffs, int newest, int count,
                            float* const* out,
                            int n) { ForEachOutput(s, coeffs, newest, count, out, n, dot); });
}

} // namespace fsconv
