#pragma once

#include <cstddef>
#include <vector>

// Converts whole planar float signals to 48000 Hz through libswresample at the quality of the
// editor's own converter: images of tones up to 20 kHz at least 100 dB down. The soxr engine at
// very high precision is used where the library was built with it, otherwise libswresample's own
// engine with a long Kaiser-windowed filter.
class CHfcFfmpegResampler {
public:
    enum class Engine { kSoxr, kSwr };

    // The engine the libraries found at run time offer: soxr when it can be set up.
    static Engine BestEngine();

    // Replaces every plane (all of one length, at sourceRate) by exactly
    // round(length * 48000 / sourceRate) frames at 48000 Hz, cut to maxFrames. The filter's delay
    // is compensated: what was at source frame k is at output frame round(k * 48000 / sourceRate).
    // False when the resampler cannot be set up; the planes are then unspecified.
    static bool To48k(std::vector<std::vector<float>>& planes, int sourceRate, size_t maxFrames,
                      Engine engine);
};
