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

// Frames of the bank's 8.8533 s at a sampling rate: 424960 at 48000 Hz, 390432 at 44100 Hz.
int MaxFramesAt(int samplingRate);

// Restores the header defaults (tempo 120, lengths 8 beats, level 127, flags, nothing loaded)
// without touching the audio.
void ResetHeader(CTarnSampleData& sample);

// Gives the sample the instrument's layout at the file's rate: 2 channels, 16 bits, a zeroed
// buffer of MaxSampleFrames frames. Throws CTarnFileException 5 when it cannot be allocated.
void PrepareDeviceBuffer(CTarnSampleData& sample, int samplingRate);

// The bytes of the play range from frame 0, as the buffer holds them; zeros where the buffer
// ends first.
std::vector<uint8_t> PlayRangeBytes(const CTarnSampleData& sample);

} // namespace tarn
