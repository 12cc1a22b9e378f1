#pragma once

#include <cstdint>

// The inner loops of CFsConverter, one entry point per instruction set. Each kernel runs the
// same polyphase up/down loop; only the inner products differ. Kernels compiled with extra
// instruction sets (see simd.cmake) must only be called when the CPU has them.
namespace fsconv {

constexpr int kRingSize = 1024;
constexpr int kRingMask = kRingSize - 1;
constexpr int kMaxChannels = 8;
// Phase arrays are padded to this many taps and aligned to this many floats.
constexpr int kTapAlignment = 8;

struct State {
    // up phases of stride floats each; phase p holds h[p], h[p + up], h[p + 2 up], ... stored
    // in reverse order (tap k at index stride - 1 - k) so that the inner product walks the
    // history forwards. Phase p is stored at position phaseSlot[p]: successive outputs visit the
    // phases in the order of their positions, so the coefficients stream through the cache.
    const float* phases = nullptr;
    const int32_t* phaseSlot = nullptr;
    // Per position, the leading floats of that phase array that are all zero, a multiple of 8:
    // the kernels skip them (every kernel alike, so the results stay the same bits).
    const int32_t* phaseLead = nullptr;
    // Taps per phase, a multiple of 4; stride is that padded to kTapAlignment with zeros.
    int taps = 0;
    int stride = 0;
    int up = 1;
    int down = 1;
    int channels = 0;
    // Per channel, the last kRingSize inputs written twice (at i and i + kRingSize) so that any
    // window of up to kRingSize samples ending at the newest one is contiguous.
    float* history[kMaxChannels] = {};
    int writeIndex = 0;
    // Up-sampled time of the next output, counted from the first input frame of the next call.
    int64_t phase = 0;
};

// The inner product of length stored coefficients with the history window starting at history,
// in the one order all kernels follow (see the scalar kernel), so that they give the same bits.
float ReferenceDot(const float* coeffs, const float* history, int length);

// Each consumes frames input frames per channel and returns the output frames written. All give
// the same bits; the vector ones are faster.
int ProcessScalar(State& state, const float* const* inputs, float* const* outputs, int frames);
#if defined(__x86_64__)
int ProcessSse2(State& state, const float* const* inputs, float* const* outputs, int frames);
int ProcessAvx2(State& state, const float* const* inputs, float* const* outputs, int frames);
#endif

// scale * y as the converter's clients store it: truncated toward zero, clipped to +/- maximum.
int32_t ClipToPcm(float value, int maximum);

// Little-endian 16-bit stereo PCM (4 bytes per frame) to two float planes, each sample divided
// by scale.
void Pcm16StereoToFloat(const uint8_t* pcm, int frames, float scale, float* left, float* right);
// Two float planes to 16-bit stereo PCM: scale * y truncated toward zero and clipped to
// +/- maximum (maximum <= 32767, scale its float value).
void FloatToPcm16Stereo(const float* left, const float* right, int frames, float scale, int maximum,
                        uint8_t* pcm);

} // namespace fsconv
