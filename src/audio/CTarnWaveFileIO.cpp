#include "audio/CTarnWaveFileIO.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/TarnAudioChunk.h"
#include "audio/TarnBpmDetection.h"
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

struct WaveReadState {
    bool haveFormat = false;
    bool haveAudio = false;
    tarn::PcmLayout layout{0, 0, false, true};
    int samplingRate = 0;
    int64_t fileFrames = 0;
    bool beatsKnown = false;
    bool makerSeen = false;
};

void ReadFormat(CHfcFile& file, const tarn::AudioChunk& chunk, WaveReadState& state) {
    if (chunk.size < kFmtSize) {
        EfTrace("format chunk data is too short...");
    } else if (chunk.size > kFmtSize) {
        EfTrace("format data is too big...");
    }
    // Fields a short chunk does not reach read as zero and fail the checks.
    uint8_t fmt[kFmtSize] = {};
    tarn::ReadExact(file, fmt, std::min<size_t>(chunk.size, kFmtSize));
    const uint16_t tag = ef::ReadLE16(fmt);
    const uint16_t channels = ef::ReadLE16(fmt + 2);
    const uint32_t rate = ef::ReadLE32(fmt + 4);
    const uint16_t bits = ef::ReadLE16(fmt + 14);
    if (tag != 1) {
        throw CTarnFileException(CTarnFileException::kWaveFormat);
    }
    tarn::CheckPcmFormat(rate, channels, bits);
    state.haveFormat = true;
    state.layout.channels = channels;
    state.layout.bits = bits;
    state.samplingRate = static_cast<int>(rate);
}

void ReadData(CHfcFile& file, const tarn::AudioChunk& chunk, CTarnSampleData& sample,
              WaveReadState& state) {
    // Audio before its format cannot be interpreted.
    if (!state.haveFormat) {
        throw CTarnFileException(CTarnFileException::kWrongFormat);
    }
    const int frameBytes = state.layout.BytesPerFrame();
    state.fileFrames = chunk.size / static_cast<uint32_t>(frameBytes);
    const int frames = static_cast<int>(
        std::min<int64_t>(state.fileFrames, tarn::MaxFramesAt(state.samplingRate)));
    tarn::PrepareDeviceBuffer(sample, state.samplingRate);
    tarn::ReadPcmFrames(file, frames, state.layout, sample);
    sample.SetLoadedFrames(frames);
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
            tarn::DetectBpm(sample, state.fileFrames, false);
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
