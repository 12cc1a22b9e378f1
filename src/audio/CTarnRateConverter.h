#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Converts audio of any rate from 8 kHz to 192 kHz to the instrument's 48 kHz.
//
// A polyphase Kaiser-windowed sinc by the rational ratio 48000 / sourceRate (reduced by their
// greatest common divisor). The filter is centred on each output's position in the input, so
// nothing is delayed: input frame k lands at output frame k * 48000 / sourceRate. Tones up to
// 20 kHz (or up to 20/22.05 of the source's Nyquist frequency for sources below 44.1 kHz) keep
// their level and their images and aliases stay more than 100 dB below them. Beyond the ends
// the input counts as silence.
//
// The arithmetic is plain single precision in one fixed order (eight interleaved sums reduced
// pairwise), so every CPU computes the same bits. Ratios whose reduced up-sampling factor is too
// large for a table of phases take each output's coefficients by linear interpolation in a
// finely sampled prototype.
class CTarnRateConverter {
public:
    static constexpr uint32_t kTargetRate = 48000;
    static constexpr uint32_t kMinRate = 8000;
    static constexpr uint32_t kMaxRate = 192000;

    // Interleaved float frames (full scale 1.0) in, interleaved float frames at 48000 Hz out:
    // exactly round(frames * 48000 / sourceRate) frames of the same channel count. A 48000 Hz
    // source comes back unchanged. Empty for no frames, no channels or a rate outside
    // kMinRate..kMaxRate.
    static std::vector<float> To48k(const float* interleaved, size_t frames, unsigned channels,
                                    uint32_t sourceRate);
    // The inner loops To48k may use. All give the same bits; one the CPU lacks falls back to
    // the next slower one.
    enum class Arithmetic { kFastest, kPortable, kSse2, kAvx2 };
    // To48k with a chosen inner loop (for comparing them).
    static std::vector<float> To48k(const float* interleaved, size_t frames, unsigned channels,
                                    uint32_t sourceRate, Arithmetic arithmetic);

    // The frame count To48k produces: frames * 48000 / sourceRate rounded to the nearest (halves
    // up); 0 for a rate of 0. Exact for fewer than 1.9e14 frames.
    static size_t OutputFrames(size_t frames, uint32_t sourceRate);
};
