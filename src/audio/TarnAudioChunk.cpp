#include "audio/TarnAudioChunk.h"

#include <algorithm>
#include <cstring>

#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "files/TarnChunk.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

namespace tarn {

bool ReadAudioChunkHeader(CHfcFile& file, bool bigEndian, AudioChunk& chunk) {
    uint8_t header[8];
    chunk.start = file.Tell();
    if (chunk.start < 0 || file.Read(header, sizeof header) < sizeof header) {
        return false;
    }
    chunk.id = ef::ReadBE32(header);
    chunk.size = bigEndian ? ef::ReadBE32(header + 4) : ef::ReadLE32(header + 4);
    return true;
}

namespace {

// Four printable ASCII characters, as every chunk ID is; a pad byte (zero) never starts one.
bool LooksLikeChunkId(const uint8_t* id) {
    return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

} // namespace

bool SkipAudioChunk(CHfcFile& file, const AudioChunk& chunk, const char* seekFailureTrace) {
    const long long unpadded = chunk.start + 8 + static_cast<long long>(chunk.size);
    long long next = unpadded + (chunk.size & 1);
    // Some writers leave out the pad byte after an odd-sized chunk: when a chunk ID follows the
    // data directly, the file is walked the way it was written.
    uint8_t id[4];
    if ((chunk.size & 1) && file.Seek(unpadded, CHfcFile::kBegin) &&
        file.Read(id, sizeof id) == sizeof id && LooksLikeChunkId(id)) {
        next = unpadded;
    }
    if (!file.Seek(next, CHfcFile::kBegin)) {
        EfTrace("%s", seekFailureTrace);
        return false;
    }
    return true;
}

void TraceUnknownChunk(uint32_t id) {
    const char text[5] = {char(id >> 24), char(id >> 16), char(id >> 8), char(id), 0};
    EfTrace("Unknown Chunk: %s", text);
}

int MaxFramesAt(int samplingRate) {
    return static_cast<int>(int64_t(samplingRate) * MaxSampleFrames /
                            CTarnSampleData::kDeviceSampleRate);
}

void ResetHeader(CTarnSampleData& sample) {
    const CTarnSampleData defaults;
    sample.CopyHeaderFrom(&defaults);
    sample.SetPlayLength(defaults.GetPlayLength());
}

void PrepareDeviceBuffer(CTarnSampleData& sample, int samplingRate) {
    sample.SetChannels(2, false);
    sample.SetBitsPerSample(16, false);
    sample.SetSamplingRate(samplingRate, false);
    sample.SetFrameCount(MaxSampleFrames, false);
    // A fresh zero-filled block: its untouched pages cost nothing until the import writes them.
    if (!sample.Allocate() || !sample.GetData()) {
        throw CTarnFileException(CTarnFileException::kOutOfMemory);
    }
}

std::vector<uint8_t> PlayRangeBytes(const CTarnSampleData& sample) {
    const size_t size = static_cast<size_t>(std::max(0, sample.GetPlayFrames())) *
                        static_cast<size_t>(sample.GetBytesPerFrame());
    std::vector<uint8_t> bytes(size, 0);
    if (const uint8_t* data = sample.GetData()) {
        std::memcpy(bytes.data(), data, std::min(size, static_cast<size_t>(sample.GetDataSize())));
    }
    return bytes;
}

} // namespace tarn
