#include "audio/TarnSourceFormat.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <utility>

#include "audio/CTarnAudioFormatException.h"
#include "data/CTarnFileException.h"

namespace tarn {

namespace {

constexpr uint32_t kSpeakerFrontCenter = 0x4;
// WAVE_FORMAT_EXTENSIBLE speaker bits of left/right pairs, the front pair first: front, front of
// centre, side, back.
constexpr std::pair<uint32_t, uint32_t> kSpeakerPairs[] = {
    {0x1, 0x2}, {0x40, 0x80}, {0x200, 0x400}, {0x10, 0x20}};

bool WidthSupported(const SourceFormat& format) {
    if (format.coding == SourceFormat::Coding::kFloat) {
        return format.bits == 32 || format.bits == 64;
    }
    return format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32;
}

} // namespace

uint32_t SourceFormat::Rate() const {
    if (!(samplingRate >= 1.0 && samplingRate <= 4294967295.0)) {
        return 0;
    }
    return static_cast<uint32_t>(std::lround(samplingRate));
}

std::string Describe(const SourceFormat& format) {
    std::string text = format.kind + ", " + std::to_string(format.bits) + "-bit, ";
    if (format.samplingRate == std::floor(format.samplingRate) && format.samplingRate >= 0 &&
        format.samplingRate < 1e12) {
        text += std::to_string(static_cast<long long>(format.samplingRate));
    } else {
        char rate[64];
        std::snprintf(rate, sizeof rate, "%.2f", format.samplingRate);
        text += rate;
    }
    text += " Hz, " + std::to_string(format.channels) +
            (format.channels == 1 ? " channel" : " channels");
    return text;
}

void SelectFrontChannels(SourceFormat& format, uint32_t channelMask) {
    format.left = 0;
    format.right = format.channels > 1 ? 1 : 0;
    if (format.channels < 2 || channelMask == 0) {
        return;
    }
    // Channels are stored in the order of their mask bits.
    const auto index = [&](uint32_t speaker) {
        return (channelMask & speaker) ? std::popcount(channelMask & (speaker - 1)) : -1;
    };
    const auto usable = [&](int i) { return i >= 0 && i < format.channels; };
    for (const auto& [leftSpeaker, rightSpeaker] : kSpeakerPairs) {
        const int left = index(leftSpeaker);
        const int right = index(rightSpeaker);
        if (usable(left) && usable(right)) {
            format.left = left;
            format.right = right;
            return;
        }
    }
    // A centre speaker without a pair beside it is the front of the mix.
    if (const int centre = index(kSpeakerFrontCenter); usable(centre)) {
        format.left = centre;
        format.right = centre;
    }
}

void CheckSupported(const SourceFormat& format, int32_t encodingCode) {
    int32_t code = -1;
    if (!format.plainSamples) {
        code = encodingCode;
    } else if (!(format.samplingRate >= kMinSourceRate && format.samplingRate <= kMaxSourceRate)) {
        code = CTarnFileException::kSampleRate;
    } else if (format.channels < 1) {
        code = CTarnFileException::kChannels;
    } else if (!WidthSupported(format)) {
        code = CTarnFileException::kBitDepth;
    }
    if (code >= 0) {
        throw CTarnAudioFormatException(code, Describe(format));
    }
}

} // namespace tarn
