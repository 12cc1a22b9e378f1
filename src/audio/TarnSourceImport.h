#pragma once

#include <cstdint>

class CHfcFile;
class CTarnSampleData;

// Filling a bank from the sample frames of a WAV or AIFF file.
namespace tarn {

struct SourceFormat;

// Frames a header declares when it gives no usable count (a stream written to a pipe): all whole
// frames up to the end of the file.
constexpr uint64_t kFramesToEndOfFile = UINT64_MAX;

struct ImportedSource {
    // Whole frames of the file's audio, at its own rate: the declared count, or fewer when the
    // file ends first (a crash-truncated recording, a stream that never got its sizes).
    int64_t frames = 0;
    uint32_t samplingRate = 0;
};

// Reads the frames starting at a file position into the sample in the instrument's layout:
// 16-bit stereo in a buffer of MaxSampleFrames. 48 and 44.1 kHz stay at their rate; any other
// rate is converted to 48 kHz. Integer samples keep their upper 16 bits (8-bit ones are scaled by
// 256); float samples have a peak above full scale brought down to it, then become
// trunc(x * 32767). At most the bank's 8.8533 s are loaded. The caller has checked the format
// (CheckSupported). Throws CTarnFileException 2 when frames are declared but none is present and
// 5 when the buffer cannot be allocated.
ImportedSource ImportSourceFrames(CHfcFile& file, const SourceFormat& format, long long start,
                                  uint64_t declaredFrames, CTarnSampleData& sample);

// A float sample in the instrument's 16-bit form: trunc(x * scale), what lies outside the 16-bit
// range limited, NaN silent.
inline uint16_t ToDevice(float x, float scale) {
    const float v = x * scale;
    if (!(v > -32768.0f)) {
        return static_cast<uint16_t>(v != v ? 0 : -32768);
    }
    if (v >= 32767.0f) {
        return 32767;
    }
    return static_cast<uint16_t>(static_cast<int16_t>(v));
}

// Tempo and phrase length guessed from the source's length at its own rate (as a file read at
// its rate would give); leaves both when no guess fits.
void DetectSourceBpm(CTarnSampleData& sample, const ImportedSource& source);

} // namespace tarn
