#pragma once

#include <cstdint>

// Interleaved PCM as an audio output plays it.
struct HfcAudioFormat {
    int32_t samplingRate = 48000;
    int32_t channels = 2;
    int32_t bitsPerSample = 16;
    int32_t bytesPerFrame = 4;

    // The frame size implied by channels and bits, and a format an output could play at all.
    bool IsValid() const {
        return samplingRate > 0 && channels > 0 && bitsPerSample > 0 && bitsPerSample % 8 == 0 &&
               bytesPerFrame == channels * (bitsPerSample / 8);
    }
    bool operator==(const HfcAudioFormat&) const = default;
};
