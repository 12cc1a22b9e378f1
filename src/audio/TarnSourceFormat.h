#pragma once

#include <cstdint>
#include <string>

// What the audio of a WAV or AIFF file is, as its header says, and whether a bank can be filled
// from it.
namespace tarn {

struct SourceFormat {
    enum class Coding { kInteger, kFloat };

    // Named in the description of a refused file: "PCM", "IEEE float", "AIFF-C 'ima4'", ...
    std::string kind = "PCM";
    Coding coding = Coding::kInteger;
    // Bits each sample takes in the file.
    int bits = 0;
    int channels = 0;
    double samplingRate = 0.0;
    bool bigEndian = false;
    // WAV stores 8-bit samples unsigned (offset 128), AIFF signed.
    bool unsigned8 = false;
    // The channels that become the bank's left and right (the same one for mono).
    int left = 0;
    int right = 0;
    // False for encodings that are not plain samples (compressed WAV, compressed AIFF-C).
    bool plainSamples = true;

    int BytesPerSample() const { return bits / 8; }
    int64_t BytesPerFrame() const { return int64_t(channels) * (bits / 8); }
    // The sampling rate in whole hertz.
    uint32_t Rate() const;
    // Rates the bank keeps as they are; others are converted to 48 kHz.
    bool KeepsRate() const { return Rate() == 48000 || Rate() == 44100; }
};

// Lowest and highest sampling rates read.
constexpr double kMinSourceRate = 8000.0;
constexpr double kMaxSourceRate = 192000.0;

// "IEEE float, 32-bit, 96000 Hz, 6 channels".
std::string Describe(const SourceFormat& format);

// The channels a bank takes: by a WAVE_FORMAT_EXTENSIBLE speaker mask the front left and right
// (or, missing them, the nearest left/right pair, or a lone front centre on both sides); without
// a mask that names them the first two channels; mono uses its one channel for both.
void SelectFrontChannels(SourceFormat& format, uint32_t channelMask);

// Refuses what cannot fill a bank, with the description as the message's second line
// (CTarnAudioFormatException), checked in this order: encoding (the given code: 10 for WAV, 11
// for AIFF-C), sampling rate 8 to 192 kHz (7), at least one channel (9), sample width: 8, 16, 24
// or 32-bit integer, 32 or 64-bit float (8).
void CheckSupported(const SourceFormat& format, int32_t encodingCode);

} // namespace tarn
