#include "audio/CTarnWaveFileIO.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/TarnAudioChunk.h"
#include "audio/TarnSourceFormat.h"
#include "audio/TarnSourceImport.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "files/TarnChunk.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

namespace {

constexpr uint32_t kRiff = ef::FourCC("RIFF");
constexpr uint32_t kWave = ef::FourCC("WAVE");
constexpr uint32_t kFmt = ef::FourCC("fmt ");
constexpr uint32_t kData = ef::FourCC("data");
constexpr uint32_t kAcid = ef::FourCC("acid");
constexpr uint32_t kVesk = ef::FourCC("vesk");
constexpr uint32_t kTxlp = ef::FourCC("txlp");
constexpr size_t kFmtSize = 16;
constexpr size_t kAcidSize = 24;
constexpr size_t kMakerBodySize = 32;
constexpr uint32_t kMakerChunkSize = 8 + kMakerBodySize;

// A length index as a fraction of whole four-beat bars.
constexpr uint16_t kBarNumerator[9] = {1, 1, 1, 1, 1, 1, 1, 2, 4};
constexpr uint8_t kBarDenominator[9] = {64, 32, 16, 8, 4, 2, 1, 1, 1};

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The extensible format chunk: the PCM fields, extension size, valid bits, speaker mask and the
// sub-format GUID, whose last 14 bytes are those of every KSDATAFORMAT_SUBTYPE of a format tag.
constexpr size_t kExtensibleSize = 40;
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct WaveReadState {
    bool haveFormat = false;
    bool haveAudio = false;
    tarn::SourceFormat format;
    tarn::ImportedSource source;
    bool beatsKnown = false;
    bool makerSeen = false;
};

// What a refused format tag is called.
std::string TagName(uint16_t tag) {
    switch (tag) {
    case 2:
        return "Microsoft ADPCM";
    case 6:
        return "A-law";
    case 7:
        return "mu-law";
    case 0x11:
        return "IMA ADPCM";
    case 0x31:
        return "GSM 6.10";
    case 0x55:
        return "MPEG layer 3";
    default: {
        char text[32];
        std::snprintf(text, sizeof text, "format tag 0x%04X", tag);
        return text;
    }
    }
}

// The coding of a format tag; an extensible chunk's sub-format GUID decides like a tag.
tarn::SourceFormat FormatOfTag(uint16_t tag, const uint8_t* fmt, size_t size) {
    tarn::SourceFormat format;
    if (tag == kTagExtensible) {
        const bool known =
            size >= kExtensibleSize && std::equal(fmt + 26, fmt + 40, kSubFormatTail);
        const uint16_t sub = ef::ReadLE16(fmt + 24);
        if (known && (sub == kTagPcm || sub == kTagFloat)) {
            format = FormatOfTag(sub, fmt, 0);
        } else {
            format.kind = "extensible " + (known ? TagName(sub) : std::string("unknown format"));
            format.plainSamples = false;
        }
        return format;
    }
    if (tag == kTagFloat) {
        format.kind = "IEEE float";
        format.coding = tarn::SourceFormat::Coding::kFloat;
    } else if (tag != kTagPcm) {
        format.kind = TagName(tag);
        format.plainSamples = false;
    }
    return format;
}

void ReadFormat(CHfcFile& file, const tarn::AudioChunk& chunk, WaveReadState& state) {
    if (chunk.size < kFmtSize) {
        EfTrace("format chunk data is too short...");
    } else if (chunk.size > kExtensibleSize) {
        EfTrace("format data is too big...");
    }
    // Fields a short chunk does not reach read as zero and fail the checks.
    uint8_t fmt[kExtensibleSize] = {};
    const size_t size = std::min<size_t>(chunk.size, kExtensibleSize);
    tarn::ReadExact(file, fmt, size);
    const uint16_t tag = ef::ReadLE16(fmt);
    tarn::SourceFormat format = FormatOfTag(tag, fmt, size);
    format.channels = ef::ReadLE16(fmt + 2);
    format.samplingRate = ef::ReadLE32(fmt + 4);
    format.bits = ef::ReadLE16(fmt + 14);
    format.unsigned8 = true;
    tarn::CheckSupported(format, CTarnFileException::kWaveFormat);
    tarn::SelectFrontChannels(format, tag == kTagExtensible ? ef::ReadLE32(fmt + 20) : 0);
    state.format = format;
    state.haveFormat = true;
}

void ReadData(CHfcFile& file, const tarn::AudioChunk& chunk, CTarnSampleData& sample,
              WaveReadState& state) {
    // Audio before its format cannot be interpreted.
    if (!state.haveFormat) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    // A size larger than the file (a stream that could not go back to fill it in, a recording
    // cut short) loads the whole frames that are there.
    state.source = tarn::ImportSourceFrames(
        file, state.format, chunk.start + 8,
        chunk.size / static_cast<uint64_t>(state.format.BytesPerFrame()), sample);
    state.haveAudio = true;
}

void ReadAcid(CHfcFile& file, const tarn::AudioChunk& chunk, CTarnSampleData& sample,
              WaveReadState& state) {
    uint8_t acid[kAcidSize] = {};
    const size_t size = std::min<size_t>(chunk.size, kAcidSize);
    tarn::ReadExact(file, acid, size);
    if (size >= 16 && sample.SetPhraseLengthBeats(
                          static_cast<float>(static_cast<int32_t>(ef::ReadLE32(acid + 12))))) {
        state.beatsKnown = true;
    }
}

// Beats of a fraction of four-beat bars; 0 (no table entry) when the denominator is 0.
float BarBeats(uint16_t numerator, uint8_t denominator) {
    return denominator ? static_cast<float>(numerator) / denominator * 4.0f : 0.0f;
}

void ReadMaker(CHfcFile& file, const tarn::AudioChunk& chunk, CTarnSampleData& sample,
               CTarnCurrentSettingData* setting, WaveReadState& state) {
    uint8_t subHeader[8];
    tarn::ReadExact(file, subHeader, sizeof subHeader);
    uint8_t body[kMakerBodySize] = {};
    const size_t size = chunk.size > 8 ? std::min<size_t>(chunk.size - 8, kMakerBodySize) : 0;
    tarn::ReadExact(file, body, size);

    sample.SetTempo(ef::ReadLE16(body + 4) / 100.0);
    sample.SetPhraseLengthBeats(BarBeats(ef::ReadLE16(body + 10), body[7]));
    sample.SetPlayLengthBeats(BarBeats(ef::ReadLE16(body + 8), body[6]));
    sample.SetPlayLevel(255);
    state.makerSeen = true;
    if (setting) {
        setting->SetParameter(ParamAddress(CTarnCurrentSettingData::kParamTempo),
                              static_cast<int>(ef::ReadLE16(body + 16) * 0.1));
        setting->SetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue1), body[20]);
        setting->SetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue2), body[19]);
        setting->SetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue3), body[21]);
    }
}

int LengthIndex(int index) {
    return std::clamp(index, 0, CTarnSampleData::kLengthCount - 1);
}

} // namespace

bool CTarnWaveFileIO::Read(CTarnSampleData& sample, CTarnCurrentSettingData* setting,
                           CHfcFile& file) {
    const long long start = file.Tell();
    uint8_t header[12];
    tarn::ReadExact(file, header, sizeof header);
    if (ef::ReadBE32(header) != kRiff || ef::ReadBE32(header + 8) != kWave ||
        !file.Seek(start + 12, CHfcFile::kBegin)) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    tarn::ResetHeader(sample);

    WaveReadState state;
    tarn::AudioChunk chunk;
    while (tarn::ReadAudioChunkHeader(file, false, chunk)) {
        switch (chunk.id) {
        case kFmt:
            ReadFormat(file, chunk, state);
            break;
        case kData:
            ReadData(file, chunk, sample, state);
            break;
        case kAcid:
            ReadAcid(file, chunk, sample, state);
            break;
        case kVesk:
            ReadMaker(file, chunk, sample, setting, state);
            break;
        default:
            tarn::TraceUnknownChunk(chunk.id);
            break;
        }
        if (!tarn::SkipAudioChunk(file, chunk, "Can't set file porinter.")) {
            break;
        }
    }

    if (!state.haveAudio) {
        // A walk that never reached the audio (a missing pad byte, a chunk size running past the
        // end, a bare header) found nothing to load: refused, so the bank is not emptied.
        throw CTarnFileException(CTarnFileException::kReadFailed);
    }
    if (!state.makerSeen) {
        // A beat count is only a tempo together with the audio's length.
        if (state.beatsKnown && sample.GetLoadedFrames() > 0) {
            const double seconds =
                double(sample.GetLoadedFrames()) / double(sample.GetSamplingRate());
            sample.SetTempo(sample.GetPhraseLengthBeats() * 60.0 / seconds);
        } else {
            tarn::DetectSourceBpm(sample, state.source);
        }
    }
    sample.RecalcPlayRange();
    if (!state.makerSeen) {
        sample.SetPlayLength(sample.GetPhraseLength());
    }
    return true;
}

bool CTarnWaveFileIO::Write(const CTarnSampleData& sample, const CTarnCurrentSettingData* setting,
                            CHfcFile& file) {
    const std::vector<uint8_t> pcm = tarn::PlayRangeBytes(sample);
    const uint32_t bytes = static_cast<uint32_t>(pcm.size());
    const int frameBytes = sample.GetBytesPerFrame();

    uint8_t header[44];
    ef::WriteBE32(header, kRiff);
    ef::WriteLE32(header + 4, bytes + 84);
    ef::WriteBE32(header + 8, kWave);
    ef::WriteBE32(header + 12, kFmt);
    ef::WriteLE32(header + 16, kFmtSize);
    ef::WriteLE16(header + 20, 1);
    ef::WriteLE16(header + 22, static_cast<uint16_t>(sample.GetChannels()));
    ef::WriteLE32(header + 24, static_cast<uint32_t>(sample.GetSamplingRate()));
    ef::WriteLE32(header + 28, static_cast<uint32_t>(sample.GetSamplingRate() * frameBytes));
    ef::WriteLE16(header + 32, static_cast<uint16_t>(frameBytes));
    ef::WriteLE16(header + 34, static_cast<uint16_t>(sample.GetBitsPerSample()));
    ef::WriteBE32(header + 36, kData);
    ef::WriteLE32(header + 40, bytes);
    tarn::WriteExact(file, header, sizeof header);
    tarn::WriteExact(file, pcm.data(), pcm.size());

    CTarnCurrentSettingData defaults;
    const uint8_t* image = (setting ? setting : &defaults)->GetNativeData();
    const int settingTempo = (setting ? setting : &defaults)
                                 ->GetParameter(ParamAddress(CTarnCurrentSettingData::kParamTempo));
    const int play = LengthIndex(sample.GetPlayLength());
    const int phrase = LengthIndex(sample.GetPhraseLength());

    uint8_t maker[8 + kMakerChunkSize];
    std::memset(maker, 0xFF, sizeof maker);
    ef::WriteBE32(maker, kVesk);
    ef::WriteLE32(maker + 4, kMakerChunkSize);
    ef::WriteBE32(maker + 8, kTxlp);
    ef::WriteLE32(maker + 12, kMakerBodySize);
    uint8_t* body = maker + 16;
    ef::WriteLE32(body, static_cast<uint32_t>(static_cast<int32_t>(bytes / 4) - 3));
    ef::WriteLE16(body + 4, static_cast<uint16_t>(sample.GetTempo() * 100));
    body[6] = kBarDenominator[play];
    body[7] = kBarDenominator[phrase];
    ef::WriteLE16(body + 8, kBarNumerator[play]);
    ef::WriteLE16(body + 10, kBarNumerator[phrase]);
    body[14] = image[3];
    body[15] = image[2];
    ef::WriteLE16(body + 16, static_cast<uint16_t>(settingTempo * 10));
    body[19] = image[3];
    body[20] = image[2];
    body[21] = image[4];
    tarn::WriteExact(file, maker, sizeof maker);
    return true;
}
