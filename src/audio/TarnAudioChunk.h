#pragma once

#include <cstdint>
#include <vector>

class CHfcFile;
class CTarnSampleData;

// Pieces shared by the RIFF and AIFF readers and writers.
namespace tarn {

struct AudioChunk {
    // The four ID characters, first in the most significant byte (as ef::FourCC).
    uint32_t id = 0;
    uint32_t size = 0;
    // File position of the chunk's ID.
    long long start = 0;
};

// Reads the 8-byte chunk header at the current position; false when fewer than 8 bytes are left.
bool ReadAudioChunkHeader(CHfcFile& file, bool bigEndian, AudioChunk& chunk);
// Moves to the next chunk: past the chunk's data and its pad byte when the size is odd (unless a
// chunk ID follows the data directly, as from writers that leave the pad byte out). False
// (with the given trace) when the position cannot be set, which ends the walk.
bool SkipAudioChunk(CHfcFile& file, const AudioChunk& chunk, const char* seekFailureTrace);

// The diagnostic trace "Unknown Chunk: %s" for a chunk a reader skips.
void TraceUnknownChunk(uint32_t id);

// The PCM formats a bank can be read from, checked in this order: the sampling rate (48000 or
// 44100 Hz, else code 7), the channels (1 or 2, else code 9), the bits (8, 16 or 24, else code 8).
void CheckPcmFormat(double samplingRate, int channels, int bits);

// Frames of the bank's 8.8533 s at a sampling rate: 424960 at 48000 Hz, 390432 at 44100 Hz.
int MaxFramesAt(int samplingRate);

// Restores the header defaults (tempo 120, lengths 8 beats, level 127, flags, nothing loaded)
// without touching the audio.
void ResetHeader(CTarnSampleData& sample);

// Gives the sample the instrument's layout at the file's rate: 2 channels, 16 bits, a zeroed
// buffer of MaxSampleFrames frames. Throws CTarnFileException 5 when it cannot be allocated.
void PrepareDeviceBuffer(CTarnSampleData& sample, int samplingRate);

struct PcmLayout {
    int channels = 0;
    int bits = 0;
    bool bigEndian = false;
    // WAV stores 8-bit samples unsigned (offset 128), AIFF signed.
    bool unsigned8 = false;

    int BytesPerFrame() const { return channels * bits / 8; }
};

// Converts frames of 8, 16 or 24-bit PCM to the sample's 16-bit stereo buffer from frame 0: 8-bit
// values are scaled by 256, 24-bit ones keep their upper two bytes, and a mono channel is copied
// to both. The caller has checked the layout and that the buffer holds the frames.
void ConvertPcmToDevice(const uint8_t* source, int frames, const PcmLayout& layout,
                        CTarnSampleData& sample);

// Reads frames × bytes per frame from the file into a block of that size and converts them;
// throws CTarnFileException 2 on a short read.
void ReadPcmFrames(CHfcFile& file, int frames, const PcmLayout& layout, CTarnSampleData& sample);

// The bytes of the play range from frame 0, as the buffer holds them; zeros where the buffer
// ends first.
std::vector<uint8_t> PlayRangeBytes(const CTarnSampleData& sample);

} // namespace tarn
