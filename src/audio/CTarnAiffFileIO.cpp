#include "audio/CTarnAiffFileIO.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/TarnAudioChunk.h"
#include "audio/TarnBpmDetection.h"
#include "audio/TarnExtendedFloat.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "files/TarnChunk.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

namespace {

constexpr uint32_t kForm = ef::FourCC("FORM");
constexpr uint32_t kAiff = ef::FourCC("AIFF");
constexpr uint32_t kAifc = ef::FourCC("AIFC");
constexpr uint32_t kComm = ef::FourCC("COMM");
constexpr uint32_t kSsnd = ef::FourCC("SSND");
constexpr size_t kCommSize = 18;
constexpr size_t kHeaderSize = 54;

struct AiffReadState {
    bool haveFormat = false;
    bool haveAudio = false;
    tarn::PcmLayout layout{0, 0, true, false};
    int samplingRate = 0;
    uint32_t fileFrames = 0;
};

void ReadComm(CHfcFile& file, const tarn::AudioChunk& chunk, AiffReadState& state) {
    if (chunk.size < kCommSize) {
        EfTrace("Illegal chunk size.");
    }
    // Fields a short chunk does not reach read as zero and fail the checks.
    uint8_t comm[kCommSize] = {};
    tarn::ReadExact(file, comm, std::min<size_t>(chunk.size, kCommSize));
    const int channels = static_cast<int16_t>(ef::ReadBE16(comm));
    const uint32_t frames = ef::ReadBE32(comm + 2);
    const int bits = static_cast<int16_t>(ef::ReadBE16(comm + 6));
    const double rate = tarn::ReadExtended80(comm + 8);
    tarn::CheckPcmFormat(rate, channels, bits);
    state.haveFormat = true;
    state.layout.channels = channels;
    state.layout.bits = bits;
    state.samplingRate = static_cast<int>(rate);
    state.fileFrames = frames;
}

void ReadSsnd(CHfcFile& file, CTarnSampleData& sample, AiffReadState& state) {
    // Sound data before its format cannot be interpreted.
    if (!state.haveFormat) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    uint8_t offsets[8];
    tarn::ReadExact(file, offsets, sizeof offsets);
    const uint32_t offset = ef::ReadBE32(offsets);
    if (offset != 0 && !file.Seek(offset, CHfcFile::kCurrent)) {
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    const int frames = static_cast<int>(
        std::min<int64_t>(state.fileFrames, tarn::MaxFramesAt(state.samplingRate)));
    tarn::PrepareDeviceBuffer(sample, state.samplingRate);
    tarn::ReadPcmFrames(file, frames, state.layout, sample);
    sample.SetLoadedFrames(frames);
    state.haveAudio = true;
}

} // namespace

bool CTarnAiffFileIO::Read(CTarnSampleData& sample, CTarnCurrentSettingData*, CHfcFile& file) {
    const long long start = file.Tell();
    uint8_t header[12];
    tarn::ReadExact(file, header, sizeof header);
    const uint32_t formType = ef::ReadBE32(header + 8);
    if (ef::ReadBE32(header) != kForm) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    if (formType == kAifc) {
        throw CTarnFileException(CTarnFileException::kCompressedAiff);
    }
    if (formType != kAiff || !file.Seek(start + 12, CHfcFile::kBegin)) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    tarn::ResetHeader(sample);

    AiffReadState state;
    tarn::AudioChunk chunk;
    while (tarn::ReadAudioChunkHeader(file, true, chunk)) {
        if (chunk.id == kComm) {
            ReadComm(file, chunk, state);
        } else if (chunk.id == kSsnd) {
            ReadSsnd(file, sample, state);
        } else {
            tarn::TraceUnknownChunk(chunk.id);
        }
        if (!tarn::SkipAudioChunk(file, chunk, "Can't set file pointer.")) {
            break;
        }
    }

    if (!state.haveAudio) {
        // A walk that never reached the sound data found nothing to load: refused, so the bank
        // is not emptied.
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    tarn::DetectBpm(sample, state.fileFrames, false);
    sample.RecalcPlayRange();
    sample.SetPlayLength(sample.GetPhraseLength());
    return true;
}

bool CTarnAiffFileIO::Write(const CTarnSampleData& sample, const CTarnCurrentSettingData*,
                            CHfcFile& file) {
    const std::vector<uint8_t> pcm = tarn::PlayRangeBytes(sample);
    const uint32_t bytes = static_cast<uint32_t>(pcm.size());
    const int bits = sample.GetBitsPerSample();
    const int frameBytes = sample.GetBytesPerFrame();

    uint8_t header[kHeaderSize];
    ef::WriteBE32(header, kForm);
    ef::WriteBE32(header + 4, 46 + bytes);
    ef::WriteBE32(header + 8, kAiff);
    ef::WriteBE32(header + 12, kComm);
    ef::WriteBE32(header + 16, kCommSize);
    ef::WriteBE16(header + 20, static_cast<uint16_t>(sample.GetChannels()));
    ef::WriteBE32(header + 22, frameBytes > 0 ? bytes / static_cast<uint32_t>(frameBytes) : 0);
    ef::WriteBE16(header + 26, static_cast<uint16_t>(bits));
    tarn::WriteExtended80(header + 28, sample.GetSamplingRate());
    ef::WriteBE32(header + 38, ef::FourCC("SSND"));
    ef::WriteBE32(header + 42, bytes + 8);
    ef::WriteBE32(header + 46, 0);
    ef::WriteBE32(header + 50, 0);
    tarn::WriteExact(file, header, sizeof header);

    // AIFF samples are signed and big-endian: 8-bit ones lose the buffer's offset of 128, wider
    // ones have their bytes reversed.
    std::vector<uint8_t> encoded(pcm.size());
    const size_t width = static_cast<size_t>(std::max(bits / 8, 1));
    if (width == 1) {
        for (size_t i = 0; i < pcm.size(); ++i) {
            encoded[i] = pcm[i] ^ 0x80;
        }
    } else if (width == 2) {
        for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
            ef::WriteBE16(&encoded[i], ef::ReadLE16(&pcm[i]));
        }
    } else {
        for (size_t i = 0; i + width <= pcm.size(); i += width) {
            std::reverse_copy(pcm.begin() + static_cast<std::ptrdiff_t>(i),
                              pcm.begin() + static_cast<std::ptrdiff_t>(i + width),
                              encoded.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    tarn::WriteExact(file, encoded.data(), encoded.size());
    return true;
}
