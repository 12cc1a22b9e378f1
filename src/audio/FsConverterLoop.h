#pragma once

#include "audio/FsConverterKernels.h"

// The polyphase loop shared by the kernels. It lives in an unnamed namespace so that every
// kernel file gets its own copy compiled with that file's instruction set.
namespace fsconv {
namespace {

// batch(state, coefficients, length, newest, count, outputs, n) writes count output frames that
// share one phase: frame n + k * up of every channel, whose newest input sits in ring slot
// (newest + k * down) & kRingMask, for k from 0 to count - 1. The phase's last length stored
// coefficients (a multiple of 8, the rest being zeros) start at coefficients.
//
// Output frame n of the stream sits at up-sampled time f = n * down; its newest input frame is
// f / up and its phase f % up. Inputs are pushed a chunk at a time and the chunk's outputs
// computed afterwards, so that the inner products never read history just stored (a store
// still in flight stalls the wide loads that overlap it). A chunk is small enough that the
// ring still holds every window its outputs need. Within a chunk the outputs are taken one
// phase at a time (every up-th output shares a phase, its newest input down frames further on),
// so that a kernel may keep the phase's coefficients in registers.
template <class Batch>
int RunPolyphase(State& s, const float* const* inputs, float* const* outputs, int frames,
                 Batch batch) {
    if (!s.phases || frames <= 0) {
        return 0;
    }
    const int chunk = s.stride < kRingSize ? kRingSize - s.stride : 1;
    const int firstSlot = s.writeIndex + 1;
    // Newest frame (relative to this call's first) and phase of output n.
    int64_t newest = s.phase / s.up;
    int64_t phase = s.phase % s.up;
    int n = 0;
    int w = s.writeIndex;
    for (int next = 0; next < frames;) {
        const int count = frames - next < chunk ? frames - next : chunk;
        for (int c = 0; c < s.channels; ++c) {
            const float* in = inputs[c] + next;
            float* h = s.history[c];
            int slot = w;
            for (int i = 0; i < count; ++i) {
                slot = (slot + 1) & kRingMask;
                h[slot] = in[i];
                h[slot + kRingSize] = in[i];
            }
        }
        w = (w + count) & kRingMask;
        next += count;

        int64_t batchNewest = newest;
        int64_t batchPhase = phase;
        int64_t made = 0;
        for (int j = 0; j < s.up && batchNewest < next; ++j) {
            const int64_t sharing = (next - batchNewest + s.down - 1) / s.down;
            const int32_t slot = s.phaseSlot[batchPhase];
            batch(s, s.phases + int64_t{slot} * s.stride + s.phaseLead[slot],
                  s.stride - s.phaseLead[slot],
                  static_cast<int>((firstSlot + batchNewest) & kRingMask),
                  static_cast<int>(sharing), outputs, n + j);
            made += sharing;
            batchPhase += s.down;
            while (batchPhase >= s.up) {
                batchPhase -= s.up;
                ++batchNewest;
            }
        }
        n += static_cast<int>(made);
        const int64_t advanced = phase + made * s.down;
        newest += advanced / s.up;
        phase = advanced % s.up;
    }
    s.phase = (newest - frames) * s.up + phase;
    s.writeIndex = w;
    return n;
}

// Runs a kernel's single-output inner product over a batch.
template <class Dot>
void ForEachOutput(const State& s, const float* coeffs, int length, int newest, int count,
                   float* const* outputs, int n, Dot dot) {
    for (int k = 0; k < count; ++k) {
        const int slot = static_cast<int>((newest + int64_t{k} * s.down) & kRingMask);
        dot(s, coeffs, length, slot, outputs, n + k * s.up);
    }
}

} // namespace
} // namespace fsconv
