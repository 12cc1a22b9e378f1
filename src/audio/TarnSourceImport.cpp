#include "audio/TarnSourceImport.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "audio/CTarnRateConverter.h"
#include "audio/TarnAudioChunk.h"
#include "audio/TarnBpmDetection.h"
#include "audio/TarnSourceFormat.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "files/TarnChunk.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

namespace tarn {

namespace {

constexpr uint32_t kDeviceRate = CTarnSampleData::kDeviceSampleRate;
// Bytes read from the file at a time.
constexpr size_t kReadBlockBytes = 256 * 1024;

inline uint64_t ReadBE64(const uint8_t* p) {
    return (uint64_t(ef::ReadBE32(p)) << 32) | ef::ReadBE32(p + 4);
}

// One sample as a signed integer of the file's width (8-bit unsigned ones centred on 0).
inline int32_t IntegerAt(const uint8_t* p, const SourceFormat& f) {
    switch (f.bits) {
    case 8:
        return f.unsigned8 ? int32_t(p[0]) - 128 : int32_t(int8_t(p[0]));
    case 16:
        return int16_t(f.bigEndian ? ef::ReadBE16(p) : ef::ReadLE16(p));
    case 24: {
        const uint32_t u = f.bigEndian ? ef::ReadBE24(p) : ef::ReadLE24(p);
        return int32_t(u << 8) >> 8;
    }
    default:
        return int32_t(f.bigEndian ? ef::ReadBE32(p) : ef::ReadLE32(p));
    }
}

// The Parts' 16-bit value of an integer sample: 8-bit times 256, wider ones their upper 16 bits.
inline int32_t DeviceInteger(const uint8_t* p, const SourceFormat& f) {
    const int32_t v = IntegerAt(p, f);
    return f.bits == 8 ? v * 256 : v >> (f.bits - 16);
}

// A float sample; what is not a finite number is silence.
inline float FloatAt(const uint8_t* p, const SourceFormat& f) {
    double x;
    if (f.bits == 32) {
        x = std::bit_cast<float>(f.bigEndian ? ef::ReadBE32(p) : ef::ReadLE32(p));
    } else {
        x = std::bit_cast<double>(f.bigEndian ? ReadBE64(p) : ef::ReadLE64(p));
    }
    return std::isfinite(x) ? static_cast<float>(x) : 0.0f;
}

// Reads whole frames block by block and hands each frame's bytes to the visitor.
template <typename Visit>
void ForEachFrame(CHfcFile& file, const SourceFormat& format, int64_t frames, Visit visit) {
    const size_t frameBytes = static_cast<size_t>(format.BytesPerFrame());
    const size_t blockFrames = std::max<size_t>(1, kReadBlockBytes / frameBytes);
    std::vector<uint8_t> block(std::min<size_t>(blockFrames, size_t(frames)) * frameBytes);
    int64_t done = 0;
    while (done < frames) {
        const size_t n = std::min<size_t>(blockFrames, size_t(frames - done));
        ReadExact(file, block.data(), n * frameBytes);
        const uint8_t* p = block.data();
        for (size_t i = 0; i < n; ++i, p += frameBytes) {
            visit(p);
        }
        done += int64_t(n);
    }
}

// Reads the two channels the bank takes (one for mono) as interleaved floats: each sample
// through read, times scale.
template <typename Read>
std::vector<float> ReadFloatFrames(CHfcFile& file, const SourceFormat& format, int64_t frames,
                                   unsigned channels, float scale, Read read) {
    std::vector<float> out(size_t(frames) * channels);
    const size_t leftOffset = size_t(format.left) * size_t(format.BytesPerSample());
    const size_t rightOffset = size_t(format.right) * size_t(format.BytesPerSample());
    float* q = out.data();
    ForEachFrame(file, format, frames, [&](const uint8_t* p) {
        *q++ = static_cast<float>(read(p + leftOffset)) * scale;
        if (channels == 2) {
            *q++ = static_cast<float>(read(p + rightOffset)) * scale;
        }
    });
    return out;
}

// The two channels the bank takes as floats with full scale at 1.0: an integer's 16-bit value
// divided by 32767, as the bank's own rate conversion scales it. The sample reader is chosen once
// for the whole read.
std::vector<float> ReadFloatFrames(CHfcFile& file, const SourceFormat& f, int64_t frames,
                                   unsigned channels) {
    if (f.coding == SourceFormat::Coding::kFloat) {
        return ReadFloatFrames(file, f, frames, channels, 1.0f,
                               [&f](const uint8_t* p) { return FloatAt(p, f); });
    }
    const float scale =
        static_cast<float>((f.bits == 8 ? 256.0 : std::ldexp(1.0, 16 - f.bits)) / 32767.0);
    const auto read = [&](auto sample) {
        return ReadFloatFrames(file, f, frames, channels, scale, sample);
    };
    switch (f.bits) {
    case 8:
        return f.unsigned8 ? read([](const uint8_t* p) { return int32_t(p[0]) - 128; })
                           : read([](const uint8_t* p) { return int32_t(int8_t(p[0])); });
    case 16:
        return f.bigEndian ? read([](const uint8_t* p) { return int16_t(ef::ReadBE16(p)); })
                           : read([](const uint8_t* p) { return int16_t(ef::ReadLE16(p)); });
    case 24:
        return f.bigEndian
                   ? read([](const uint8_t* p) { return int32_t(ef::ReadBE24(p) << 8) >> 8; })
                   : read([](const uint8_t* p) { return int32_t(ef::ReadLE24(p) << 8) >> 8; });
    default:
        return f.bigEndian ? read([](const uint8_t* p) { return int32_t(ef::ReadBE32(p)); })
                           : read([](const uint8_t* p) { return int32_t(ef::ReadLE32(p)); });
    }
}

// Largest magnitude over the frames.
float Peak(const std::vector<float>& samples, size_t count) {
    float peak = 0.0f;
    for (size_t i = 0; i < count; ++i) {
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
}

// Writes frames of floats (one or two channels) into the bank: trunc(x * 32767 * gain).
void StoreFloatFrames(const std::vector<float>& samples, int frames, unsigned channels, float gain,
                      CTarnSampleData& sample) {
    const float scale = 32767.0f * gain;
    uint8_t* out = sample.GetData();
    const float* p = samples.data();
    for (int f = 0; f < frames; ++f, out += 4, p += channels) {
        const uint16_t left = ToDevice(p[0], scale);
        ef::WriteLE16(out, left);
        ef::WriteLE16(out + 2, channels == 2 ? ToDevice(p[1], scale) : left);
    }
}

// The gain a float source gets: a peak above full scale is brought down to it.
float FloatGain(const SourceFormat& format, const std::vector<float>& samples, size_t count) {
    if (format.coding != SourceFormat::Coding::kFloat) {
        return 1.0f;
    }
    const float peak = Peak(samples, count);
    if (peak <= 1.0f) {
        return 1.0f;
    }
    EfTrace("The filled buffers have over 1.0f value.");
    return 1.0f / peak;
}

void ImportAtOwnRate(CHfcFile& file, const SourceFormat& format, int64_t present,
                     CTarnSampleData& sample) {
    const int rate = static_cast<int>(format.Rate());
    const int frames = static_cast<int>(std::min<int64_t>(present, MaxFramesAt(rate)));
    PrepareDeviceBuffer(sample, rate);
    if (format.coding == SourceFormat::Coding::kInteger) {
        const size_t leftOffset = size_t(format.left) * size_t(format.BytesPerSample());
        const size_t rightOffset = size_t(format.right) * size_t(format.BytesPerSample());
        uint8_t* out = sample.GetData();
        ForEachFrame(file, format, frames, [&](const uint8_t* p) {
            ef::WriteLE16(out, static_cast<uint16_t>(DeviceInteger(p + leftOffset, format)));
            ef::WriteLE16(out + 2, static_cast<uint16_t>(DeviceInteger(p + rightOffset, format)));
            out += 4;
        });
    } else {
        const unsigned channels = format.left == format.right ? 1 : 2;
        const std::vector<float> samples = ReadFloatFrames(file, format, frames, channels);
        StoreFloatFrames(samples, frames, channels, FloatGain(format, samples, samples.size()),
                         sample);
    }
    sample.SetLoadedFrames(frames);
}

void ImportConverted(CHfcFile& file, const SourceFormat& format, int64_t present,
                     CTarnSampleData& sample) {
    const uint32_t rate = format.Rate();
    // Source frames that fill the bank, and a little more so the filter sees real audio, not
    // silence, beyond the bank's last frame.
    const int64_t needed = (int64_t(MaxSampleFrames) * rate + kDeviceRate - 1) / kDeviceRate;
    const int64_t frames = std::min<int64_t>(present, needed + rate / 50);
    const unsigned channels = format.left == format.right ? 1 : 2;
    std::vector<float> converted;
    {
        const std::vector<float> source = ReadFloatFrames(file, format, frames, channels);
        converted = CTarnRateConverter::To48k(source.data(), size_t(frames), channels, rate);
    }
    // The converted length of the whole source, cut where the bank ends (not where the extra
    // frames read for the filter end).
    const int64_t sourceLength = (present * kDeviceRate + rate / 2) / rate;
    const int outFrames = static_cast<int>(
        std::min({int64_t(converted.size() / channels), sourceLength, int64_t(MaxSampleFrames)}));
    PrepareDeviceBuffer(sample, static_cast<int>(kDeviceRate));
    const float gain = FloatGain(format, converted, size_t(outFrames) * channels);
    StoreFloatFrames(converted, outFrames, channels, gain, sample);
    sample.SetLoadedFrames(outFrames);
}

} // namespace

ImportedSource ImportSourceFrames(CHfcFile& file, const SourceFormat& format, long long start,
                                  uint64_t declaredFrames, CTarnSampleData& sample) {
    const auto frameBytes = static_cast<uint64_t>(format.BytesPerFrame());
    uint64_t inFile = 0;
    if (file.Seek(start, CHfcFile::kBegin)) {
        inFile = static_cast<uint64_t>(file.Remaining()) / frameBytes;
    }
    const uint64_t present = std::min(declaredFrames, inFile);
    if (present == 0 && declaredFrames > 0) {
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    if (present < declaredFrames && declaredFrames != kFramesToEndOfFile) {
        EfTrace("Audio data ends after %llu of %llu frames.", (unsigned long long)present,
                (unsigned long long)declaredFrames);
    }
    ImportedSource source;
    // No bank takes more than a few seconds of any rate; the count only sets the tempo.
    source.frames = static_cast<int64_t>(std::min<uint64_t>(present, INT64_MAX / kDeviceRate));
    source.samplingRate = format.Rate();
    if (format.KeepsRate()) {
        ImportAtOwnRate(file, format, source.frames, sample);
    } else {
        ImportConverted(file, format, source.frames, sample);
    }
    return source;
}

void DetectSourceBpm(CTarnSampleData& sample, const ImportedSource& source) {
    if (const auto guess = GuessBpm(source.frames, static_cast<int>(source.samplingRate))) {
        sample.SetTempo(guess->bpm);
        sample.SetPhraseLengthBeats(guess->beats);
    }
}

} // namespace tarn
