#include "audio/CTarnAiffFileIO.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "audio/TarnAudioChunk.h"
#include "audio/TarnExtendedFloat.h"
#include "audio/TarnSourceFormat.h"
#include "audio/TarnSourceImport.h"
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
// AIFF-C adds the compression type (and its name, which is not needed).
constexpr size_t kAifcCommSize = 22;
constexpr size_t kHeaderSize = 54;

struct AiffReadState {
    bool aifc = false;
    bool haveFormat = false;
    tarn::SourceFormat format;
    uint32_t commFrames = 0;
    bool haveSoundData = false;
    tarn::AudioChunk soundData;
};

// The AIFF-C compression types that are plain samples: big or little-endian integers and
// big-endian floats ("42n1" is libsndfile's name for 24-bit little-endian).
struct Coding {
    uint32_t type;
    tarn::SourceFormat::Coding coding;
    bool bigEndian;
    // Sample width the type implies; 0 takes the COMM chunk's.
    int bits;
};
constexpr Coding kCodings[] = {
    {ef::FourCC("NONE"), tarn::SourceFormat::Coding::kInteger, true, 0},
    {ef::FourCC("twos"), tarn::SourceFormat::Coding::kInteger, true, 0},
    {ef::FourCC("sowt"), tarn::SourceFormat::Coding::kInteger, false, 0},
    {ef::FourCC("in24"), tarn::SourceFormat::Coding::kInteger, true, 24},
    {ef::FourCC("in32"), tarn::SourceFormat::Coding::kInteger, true, 32},
    {ef::FourCC("42ni"), tarn::SourceFormat::Coding::kInteger, false, 24},
    {ef::FourCC("42n1"), tarn::SourceFormat::Coding::kInteger, false, 24},
    {ef::FourCC("23ni"), tarn::SourceFormat::Coding::kInteger, false, 32},
    {ef::FourCC("fl32"), tarn::SourceFormat::Coding::kFloat, true, 32},
    {ef::FourCC("FL32"), tarn::SourceFormat::Coding::kFloat, true, 32},
    {ef::FourCC("fl64"), tarn::SourceFormat::Coding::kFloat, true, 64},
    {ef::FourCC("FL64"), tarn::SourceFormat::Coding::kFloat, true, 64},
};

std::string CompressionName(uint32_t type) {
    std::string name = "AIFF-C '";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(type >> shift);
        name += c >= 0x20 && c <= 0x7E ? c : '?';
    }
    return name + "'";
}

void ReadComm(CHfcFile& file, const tarn::AudioChunk& chunk, AiffReadState& state) {
    const size_t wanted = state.aifc ? kAifcCommSize : kCommSize;
    if (chunk.size < wanted) {
        EfTrace("Illegal chunk size.");
    }
    // Fields a short chunk does not reach read as zero and fail the checks.
    uint8_t comm[kAifcCommSize] = {};
    tarn::ReadExact(file, comm, std::min<size_t>(chunk.size, wanted));
    tarn::SourceFormat format;
    format.channels = static_cast<int16_t>(ef::ReadBE16(comm));
    format.bits = static_cast<int16_t>(ef::ReadBE16(comm + 6));
    format.samplingRate = tarn::ReadExtended80(comm + 8);
    format.bigEndian = true;
    if (state.aifc) {
        const uint32_t type = ef::ReadBE32(comm + 18);
        const Coding* coding = std::find_if(std::begin(kCodings), std::end(kCodings),
                                            [type](const Coding& c) { return c.type == type; });
        if (coding == std::end(kCodings)) {
            format.kind = CompressionName(type);
            format.plainSamples = false;
        } else {
            format.coding = coding->coding;
            format.bigEndian = coding->bigEndian;
            format.bits = coding->bits ? coding->bits : format.bits;
            if (format.coding == tarn::SourceFormat::Coding::kFloat) {
                format.kind = "IEEE float";
            }
        }
    }
    // Integer samples narrower than their bytes are stored left-justified in whole bytes (a
    // 12-bit sample in two), so they read as the wider width.
    if (format.coding == tarn::SourceFormat::Coding::kInteger && format.bits > 0 &&
        format.bits < 32 && format.bits % 8) {
        format.bits = (format.bits + 7) / 8 * 8;
    }
    tarn::CheckSupported(format, CTarnFileException::kCompressedAiff);
    tarn::SelectFrontChannels(format, 0);
    state.format = format;
    state.haveFormat = true;
    state.commFrames = ef::ReadBE32(comm + 2);
}

// Reads the sound data the walk found, with the format that may have come after it.
tarn::ImportedSource ReadSoundData(CHfcFile& file, const AiffReadState& state,
                                   CTarnSampleData& sample) {
    const tarn::AudioChunk& chunk = state.soundData;
    uint8_t offsets[8];
    if (!file.Seek(chunk.start + 8, CHfcFile::kBegin)) {
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    tarn::ReadExact(file, offsets, sizeof offsets);
    const uint32_t offset = ef::ReadBE32(offsets);
    // A chunk too small for its own offset fields was never filled in by a writer streaming to
    // a pipe: the sound runs to the end of the file, whatever the frame count says.
    const uint64_t declared = chunk.size < 8 ? tarn::kFramesToEndOfFile : state.commFrames;
    return tarn::ImportSourceFrames(file, state.format, chunk.start + 16 + offset, declared,
                                    sample);
}

} // namespace

bool CTarnAiffFileIO::Read(CTarnSampleData& sample, CTarnCurrentSettingData*, CHfcFile& file) {
    const long long start = file.Tell();
    uint8_t header[12];
    tarn::ReadExact(file, header, sizeof header);
    const uint32_t formType = ef::ReadBE32(header + 8);
    if (ef::ReadBE32(header) != kForm || (formType != kAiff && formType != kAifc) ||
        !file.Seek(start + 12, CHfcFile::kBegin)) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    tarn::ResetHeader(sample);

    AiffReadState state;
    state.aifc = formType == kAifc;
    tarn::AudioChunk chunk;
    // The common and sound data chunks may come in either order: the sound data is read once
    // the walk is over.
    while (tarn::ReadAudioChunkHeader(file, true, chunk)) {
        if (chunk.id == kComm) {
            ReadComm(file, chunk, state);
        } else if (chunk.id == kSsnd) {
            state.soundData = chunk;
            state.haveSoundData = true;
            if (chunk.size < 8) {
                break; // its data runs to the end of the file; nothing follows
            }
        } else {
            tarn::TraceUnknownChunk(chunk.id);
        }
        if (!tarn::SkipAudioChunk(file, chunk, "Can't set file pointer.")) {
            break;
        }
    }

    if (!state.haveSoundData) {
        // A walk that never reached the sound data found nothing to load: refused, so the bank
        // is not emptied.
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    if (!state.haveFormat) {
        // Sound data without its format cannot be interpreted.
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    const tarn::ImportedSource source = ReadSoundData(file, state, sample);
    tarn::DetectSourceBpm(sample, source);
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
