#include <gtest/gtest.h>

#include "ImportTestSupport.h"
#include <utility>

#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnAudioFormatException.h"
#include "audio/CTarnWaveFileIO.h"

using namespace importtest;

namespace {

// Offset of the audio in the sox-written WAV fixtures (RIFF, 16-byte "fmt ", "data" header).
constexpr size_t kSoxWaveData = 44;

CTarnWaveFileIO wave;
CTarnAiffFileIO aiff;

size_t AiffSoundData(const std::vector<uint8_t>& file) {
    // After "SSND", its size, offset and block size.
    for (size_t i = 12; i + 4 <= file.size(); ++i) {
        if (std::equal(file.begin() + long(i), file.begin() + long(i) + 4, "SSND")) {
            return i + 16;
        }
    }
    return file.size();
}

TEST(WaveReader, ReadsSoxFilesInEveryAcceptedLayout) {
    {
        // 16-bit stereo 48 kHz, 0.25 s: 1/2 beat at 120 BPM.
        const auto file = FixtureBytes("wav_s16_stereo_48k.wav");
        CTarnSampleData s;
        CTarnCurrentSettingData cs;
        ASSERT_EQ(ReadWith(wave, file, s, &cs), kSucceeded);
        EXPECT_EQ(s.GetSamplingRate(), 48000);
        EXPECT_EQ(s.GetChannels(), 2);
        EXPECT_EQ(s.GetBitsPerSample(), 16);
        EXPECT_EQ(s.GetFrameCount(), MaxSampleFrames);
        EXPECT_EQ(s.GetLoadedFrames(), 12000);
        EXPECT_EQ(s.GetLoadedBytes(), 48000);
        EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
        EXPECT_EQ(s.GetPhraseLength(), 3);
        EXPECT_EQ(s.GetPlayLength(), 3);
        EXPECT_EQ(s.GetPlayFrames(), 12000);
        for (int f : {0, 1, 777, 11999}) {
            const uint8_t* p = file.data() + kSoxWaveData + size_t(f) * 4;
            EXPECT_EQ(Left(s, f), int16_t(ef::ReadLE16(p))) << f;
            EXPECT_EQ(Right(s, f), int16_t(ef::ReadLE16(p + 2))) << f;
        }
        EXPECT_EQ(Left(s, 12000), 0);
        // No maker chunk: the current setting keeps its defaults.
        EXPECT_EQ(cs.GetParameter(ParamAddress(0)), 1200);
    }
    {
        // 16-bit mono 44.1 kHz: the channel goes to both sides, the rate stays.
        const auto file = FixtureBytes("wav_s16_mono_44k.wav");
        CTarnSampleData s;
        ASSERT_EQ(ReadWith(wave, file, s), kSucceeded);
        EXPECT_EQ(s.GetSamplingRate(), 44100);
        EXPECT_EQ(s.GetChannels(), 2);
        EXPECT_EQ(s.GetLoadedFrames(), 11025);
        for (int f : {0, 5, 11024}) {
            const int16_t v = int16_t(ef::ReadLE16(file.data() + kSoxWaveData + size_t(f) * 2));
            EXPECT_EQ(Left(s, f), v);
            EXPECT_EQ(Right(s, f), v);
        }
    }
    {
        // 8-bit unsigned: (byte - 128) * 256.
        const auto file = FixtureBytes("wav_u8_mono_48k.wav");
        CTarnSampleData s;
        ASSERT_EQ(ReadWith(wave, file, s), kSucceeded);
        EXPECT_EQ(s.GetLoadedFrames(), 4800);
        for (int f = 0; f < 4800; f += 97) {
            const int v = (file[kSoxWaveData + size_t(f)] - 128) * 256;
            ASSERT_EQ(Left(s, f), v) << f;
            ASSERT_EQ(Right(s, f), v) << f;
        }
    }
    {
        // 24-bit stereo 44.1 kHz: the upper two bytes of each sample.
        const auto file = FixtureBytes("wav_s24_stereo_44k.wav");
        CTarnSampleData s;
        ASSERT_EQ(ReadWith(wave, file, s), kSucceeded);
        EXPECT_EQ(s.GetLoadedFrames(), 4410);
        for (int f = 0; f < 4410; f += 101) {
            const uint8_t* p = file.data() + kSoxWaveData + size_t(f) * 6;
            ASSERT_EQ(Left(s, f), int16_t(ef::ReadLE16(p + 1))) << f;
            ASSERT_EQ(Right(s, f), int16_t(ef::ReadLE16(p + 4))) << f;
        }
    }
}

TEST(WaveReader, ConvertsTheExtremesOfEachWidth) {
    // 24-bit stereo frame: left 8388607 (7F FF FF), right -8388608 (80 00 00).
    const std::vector<uint8_t> pcm24 = {0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80};
    CTarnSampleData s;
    ASSERT_EQ(ReadWith(wave, Riff({FmtChunk(2, 48000, 24), DataChunk(pcm24)}), s), kSucceeded);
    EXPECT_EQ(Left(s, 0), 32767);
    EXPECT_EQ(Right(s, 0), -32768);
    // 8-bit mono: 0 is the most negative value, 255 the most positive, 128 silence.
    ASSERT_EQ(ReadWith(wave, Riff({FmtChunk(1, 48000, 8), DataChunk({0, 255, 128})}), s),
              kSucceeded);
    EXPECT_EQ(Left(s, 0), -32768);
    EXPECT_EQ(Left(s, 1), 32512);
    EXPECT_EQ(Left(s, 2), 0);
    EXPECT_EQ(s.GetLoadedFrames(), 3);
}

// The error code of a refused read, and the description its message gives on a second line.
std::pair<int, std::string> Refusal(CEfAudioFileIO& reader, const std::vector<uint8_t>& bytes) {
    CHfcFile file;
    file.OpenMemory(bytes.data(), bytes.size());
    CTarnSampleData s;
    try {
        reader.Read(s, nullptr, file);
    } catch (const CTarnAudioFormatException& e) {
        return {e.GetCode(), e.Description()};
    } catch (const CTarnFileException& e) {
        return {e.GetCode(), ""};
    }
    return {kSucceeded, ""};
}

TEST(WaveReader, RefusesFormatsWithTheirCodes) {
    struct Case {
        const char* fixture;
        int code;
        const char* description;
    };
    const Case cases[] = {
        {"wav_s16_mono_4k.wav", CTarnFileException::kSampleRate, "PCM, 16-bit, 4000 Hz, 1 channel"},
        {"wav_ima_adpcm_8k.wav", CTarnFileException::kWaveFormat,
         "IMA ADPCM, 4-bit, 8000 Hz, 1 channel"},
        {"empty.wav", CTarnFileException::kReadFailed, ""},
        {"aiff_s16_stereo_48k.aif", CTarnFileException::kWrongFormat, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Refusal(wave, FixtureBytes(c.fixture)),
                  std::make_pair(c.code, std::string(c.description)))
            << c.fixture;
    }
    const std::vector<uint8_t> pcm(4, 0);
    CTarnSampleData s;
    // The checks run in order: tag, rate, channels, bits.
    EXPECT_EQ(Refusal(wave, Riff({FmtChunk(3, 4000, 12, 2), DataChunk(pcm)})),
              std::make_pair(int(CTarnFileException::kWaveFormat),
                             std::string("Microsoft ADPCM, 12-bit, 4000 Hz, 3 channels")));
    EXPECT_EQ(Refusal(wave, Riff({FmtChunk(3, 4000, 12), DataChunk(pcm)})),
              std::make_pair(int(CTarnFileException::kSampleRate),
                             std::string("PCM, 12-bit, 4000 Hz, 3 channels")));
    EXPECT_EQ(Refusal(wave, Riff({FmtChunk(0, 192001, 12), DataChunk(pcm)})).first,
              CTarnFileException::kSampleRate);
    EXPECT_EQ(Refusal(wave, Riff({FmtChunk(0, 8000, 12), DataChunk(pcm)})),
              std::make_pair(int(CTarnFileException::kChannels),
                             std::string("PCM, 12-bit, 8000 Hz, 0 channels")));
    EXPECT_EQ(Refusal(wave, Riff({FmtChunk(3, 192000, 12), DataChunk(pcm)})),
              std::make_pair(int(CTarnFileException::kBitDepth),
                             std::string("PCM, 12-bit, 192000 Hz, 3 channels")));
    // IEEE float comes in 32 and 64 bits only.
    EXPECT_EQ(Refusal(wave, Riff({FmtChunk(2, 48000, 16, 3), DataChunk(pcm)})),
              std::make_pair(int(CTarnFileException::kBitDepth),
                             std::string("IEEE float, 16-bit, 48000 Hz, 2 channels")));
    // A 14-byte format chunk: tag, channels, rate, byte rate, block align; bits read as 0.
    std::vector<uint8_t> shortFmt = FmtChunk(2, 48000, 16);
    shortFmt.resize(8 + 14);
    ef::WriteLE32(shortFmt.data() + 4, 14);
    EXPECT_EQ(ReadWith(wave, Riff({shortFmt, DataChunk(pcm)}), s), CTarnFileException::kBitDepth);
    // Audio before any format.
    EXPECT_EQ(ReadWith(wave, Riff({DataChunk(pcm), FmtChunk(2, 48000, 16)}), s),
              CTarnFileException::kWrongFormat);
    // "RIFF" with another form type.
    std::vector<uint8_t> avi = Riff({FmtChunk(2, 48000, 16)});
    std::copy_n("AVI ", 4, avi.begin() + 8);
    EXPECT_EQ(ReadWith(wave, avi, s), CTarnFileException::kWrongFormat);
}

TEST(WaveReader, WalksOddChunksAndStopsCleanlyAtTheEnd) {
    // sox audio behind a spliced 5-byte chunk and its pad byte.
    const auto odd = FixtureBytes("wav_odd_chunk.wav");
    CTarnSampleData s;
    ASSERT_EQ(ReadWith(wave, odd, s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 2400);
    EXPECT_EQ(Left(s, 100), int16_t(ef::ReadLE16(odd.data() + 58 + 200)));

    // A chunk whose size runs far past the end of the file ends the walk after the audio.
    std::vector<uint8_t> tail = {'j', 'u', 'n', 'k', 0xF0, 0xFF, 0xFF, 0xFF, 1, 2};
    auto wav = Riff({FmtChunk(1, 48000, 16), DataChunk({0x34, 0x12}), tail});
    ASSERT_EQ(ReadWith(wave, wav, s), kSucceeded);
    EXPECT_EQ(Left(s, 0), 0x1234);
    // The same through a real file, where seeking past the end succeeds.
    TempDir dir;
    TempDir::WriteAll(dir.File("long.wav"), wav);
    CHfcFile file;
    ASSERT_TRUE(file.Open(dir.File("long.wav"), CHfcFile::kRead | CHfcFile::kBinary));
    CTarnSampleData fromFile;
    EXPECT_TRUE(CTarnWaveFileIO().Read(fromFile, nullptr, file));
    EXPECT_EQ(fromFile.GetLoadedFrames(), 1);

    // No data chunk at all: nothing to load, refused.
    EXPECT_EQ(ReadWith(wave, Riff({FmtChunk(2, 44100, 16)}), s), CTarnFileException::kReadFailed);
}

TEST(WaveReader, TakesTheTempoFromAnAcidChunkOrTheLength) {
    CTarnSampleData s;
    // sox file with a spliced "acid" chunk of 2 beats on 0.5 s: 240 BPM.
    ASSERT_EQ(ReadWith(wave, FixtureBytes("wav_acid_2beats.wav"), s), kSucceeded);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 240.0);
    EXPECT_EQ(s.GetPhraseLength(), 5);
    EXPECT_EQ(s.GetPlayLength(), 5);

    // 8 beats on 4 s: 120 BPM, 8 beats.
    const std::vector<uint8_t> fourSeconds(192000, 128);
    ASSERT_EQ(
        ReadWith(wave, Riff({FmtChunk(1, 48000, 8), AcidChunk(8), DataChunk(fourSeconds)}), s),
        kSucceeded);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
    EXPECT_EQ(s.GetPhraseLength(), 7);
    // 3 beats is not a table entry: the length decides, 3 s giving 8 beats at 160 BPM.
    const std::vector<uint8_t> threeSeconds(144000, 128);
    ASSERT_EQ(
        ReadWith(wave, Riff({FmtChunk(1, 48000, 8), AcidChunk(3), DataChunk(threeSeconds)}), s),
        kSucceeded);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 160.0);
    EXPECT_EQ(s.GetPhraseLength(), 7);
    // An acid chunk without audio is refused.
    EXPECT_EQ(ReadWith(wave, Riff({FmtChunk(1, 48000, 8), AcidChunk(4)}), s),
              CTarnFileException::kReadFailed);
}

TEST(WaveReader, GuessesTheTempoFromTheFileLength) {
    CTarnSampleData s;
    // 10 s: the bank holds 8.8533 s, the guess uses all 10 s: 16 beats at 96 BPM, which is too
    // slow for 16 beats in the bank, so the phrase becomes 8 beats.
    ASSERT_EQ(ReadWith(wave, SilentWave(480000), s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), MaxSampleFrames);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 96.0);
    EXPECT_EQ(s.GetPhraseLength(), 7);
    EXPECT_EQ(s.GetPlayLength(), 7);
    // 10 s at 44.1 kHz fills the bank's 390432 frames.
    ASSERT_EQ(ReadWith(wave, SilentWave(441000, 44100), s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 390432);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 96.0);
    // 2 s: 4 beats at 120 BPM.
    ASSERT_EQ(ReadWith(wave, SilentWave(96000), s), kSucceeded);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
    EXPECT_EQ(s.GetPhraseLength(), 6);
    // 0.01 s: too short for any window; tempo and lengths keep their defaults.
    ASSERT_EQ(ReadWith(wave, SilentWave(480), s), kSucceeded);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
    EXPECT_EQ(s.GetPhraseLength(), 7);
    EXPECT_EQ(s.GetLoadedFrames(), 480);
}

TEST(AiffReader, ReadsSoxFiles) {
    {
        const auto file = FixtureBytes("aiff_s16_stereo_48k.aif");
        const size_t data = AiffSoundData(file);
        CTarnSampleData s;
        ASSERT_EQ(ReadWith(aiff, file, s), kSucceeded);
        EXPECT_EQ(s.GetSamplingRate(), 48000);
        EXPECT_EQ(s.GetLoadedFrames(), 12000);
        EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
        EXPECT_EQ(s.GetPhraseLength(), 3);
        EXPECT_EQ(s.GetPlayLength(), 3);
        for (int f : {0, 1, 4321, 11999}) {
            const uint8_t* p = file.data() + data + size_t(f) * 4;
            EXPECT_EQ(Left(s, f), int16_t(ef::ReadBE16(p))) << f;
            EXPECT_EQ(Right(s, f), int16_t(ef::ReadBE16(p + 2))) << f;
        }
    }
    {
        // 8-bit signed mono at 44.1 kHz: byte * 256 on both channels.
        const auto file = FixtureBytes("aiff_s8_mono_44k.aif");
        const size_t data = AiffSoundData(file);
        CTarnSampleData s;
        ASSERT_EQ(ReadWith(aiff, file, s), kSucceeded);
        EXPECT_EQ(s.GetSamplingRate(), 44100);
        EXPECT_EQ(s.GetLoadedFrames(), 4410);
        for (int f = 0; f < 4410; f += 89) {
            const int v = int8_t(file[data + size_t(f)]) * 256;
            ASSERT_EQ(Left(s, f), v) << f;
            ASSERT_EQ(Right(s, f), v) << f;
        }
    }
    {
        const auto file = FixtureBytes("aiff_s24_mono_48k.aiff");
        const size_t data = AiffSoundData(file);
        CTarnSampleData s;
        ASSERT_EQ(ReadWith(aiff, file, s), kSucceeded);
        EXPECT_EQ(s.GetLoadedFrames(), 4800);
        for (int f = 0; f < 4800; f += 89) {
            ASSERT_EQ(Left(s, f), int16_t(ef::ReadBE16(file.data() + data + size_t(f) * 3)));
        }
    }
}

// An AIFF of hand-written bytes: FORM header, COMM, SSND with the given sound bytes.
std::vector<uint8_t> Aiff(int channels, uint32_t frames, int bits, const uint8_t rate[10],
                          const std::vector<uint8_t>& sound, const char* form = "AIFF") {
    std::vector<uint8_t> out(54 + sound.size());
    uint8_t* p = out.data();
    std::copy_n("FORM", 4, p);
    ef::WriteBE32(p + 4, uint32_t(out.size() - 8));
    std::copy_n(form, 4, p + 8);
    std::copy_n("COMM", 4, p + 12);
    ef::WriteBE32(p + 16, 18);
    ef::WriteBE16(p + 20, uint16_t(channels));
    ef::WriteBE32(p + 22, frames);
    ef::WriteBE16(p + 26, uint16_t(bits));
    std::copy_n(rate, 10, p + 28);
    std::copy_n("SSND", 4, p + 38);
    ef::WriteBE32(p + 42, uint32_t(sound.size() + 8));
    ef::WriteBE32(p + 46, 0); // offset
    ef::WriteBE32(p + 50, 0); // block size
    std::copy(sound.begin(), sound.end(), p + 54);
    return out;
}

const uint8_t k48000[10] = {0x40, 0x0E, 0xBB, 0x80, 0, 0, 0, 0, 0, 0};
const uint8_t k22050[10] = {0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
const uint8_t k4000[10] = {0x40, 0x0A, 0xFA, 0x00, 0, 0, 0, 0, 0, 0};

// An AIFF-C of the given compression type, with its version chunk.
std::vector<uint8_t> Aifc(const char type[5], int channels, int bits, const uint8_t rate[10],
                          const std::vector<uint8_t>& sound) {
    std::vector<uint8_t> out = {'F',  'O',  'R', 'M', 0,   0,   0, 0, 'A', 'I',  'F',
                                'C',  'F',  'V', 'E', 'R', 0,   0, 0, 4,   0xA2, 0x80,
                                0x51, 0x40, 'C', 'O', 'M', 'M', 0, 0, 0,   24};
    const size_t comm = out.size();
    out.resize(comm + 24);
    ef::WriteBE16(&out[comm], uint16_t(channels));
    ef::WriteBE32(&out[comm + 2],
                  uint32_t(sound.size() / size_t(std::max(1, channels * bits / 8))));
    ef::WriteBE16(&out[comm + 6], uint16_t(bits));
    std::copy_n(rate, 10, &out[comm + 8]);
    std::copy_n(type, 4, &out[comm + 18]);
    Append(out, "SSND");
    uint8_t size[4];
    ef::WriteBE32(size, uint32_t(8 + sound.size()));
    out.insert(out.end(), size, size + 4);
    out.insert(out.end(), 8, 0);
    out.insert(out.end(), sound.begin(), sound.end());
    ef::WriteBE32(&out[4], uint32_t(out.size() - 8));
    return out;
}

TEST(AiffReader, ConvertsExtremesAndRefusesWithTheirCodes) {
    CTarnSampleData s;
    // 8-bit signed: -128 is the most negative value.
    ASSERT_EQ(ReadWith(aiff, Aiff(1, 2, 8, k48000, {0x80, 0x7F}), s), kSucceeded);
    EXPECT_EQ(Left(s, 0), -32768);
    EXPECT_EQ(Left(s, 1), 32512);
    // 24-bit: 7F FF FF and 80 00 00.
    ASSERT_EQ(ReadWith(aiff, Aiff(2, 1, 24, k48000, {0x7F, 0xFF, 0xFF, 0x80, 0x00, 0x00}), s),
              kSucceeded);
    EXPECT_EQ(Left(s, 0), 32767);
    EXPECT_EQ(Right(s, 0), -32768);

    EXPECT_EQ(ReadWith(aiff, FixtureBytes("wav_s16_stereo_48k.wav"), s),
              CTarnFileException::kWrongFormat);
    EXPECT_EQ(ReadWith(aiff, FixtureBytes("empty.wav"), s), CTarnFileException::kReadFailed);
    EXPECT_EQ(ReadWith(aiff, Aiff(2, 1, 16, k48000, {}, "8SVX"), s),
              CTarnFileException::kWrongFormat);
    // Checks in order: compression, rate, channels, bits.
    EXPECT_EQ(Refusal(aiff, Aifc("ima4", 2, 16, k4000, {})),
              std::make_pair(int(CTarnFileException::kCompressedAiff),
                             std::string("AIFF-C 'ima4', 16-bit, 4000 Hz, 2 channels")));
    EXPECT_EQ(Refusal(aiff, Aiff(0, 1, 40, k4000, {})),
              std::make_pair(int(CTarnFileException::kSampleRate),
                             std::string("PCM, 40-bit, 4000 Hz, 0 channels")));
    EXPECT_EQ(Refusal(aiff, Aiff(0, 1, 40, k22050, {})).first, CTarnFileException::kChannels);
    EXPECT_EQ(Refusal(aiff, Aiff(6, 1, 40, k22050, {})).first, CTarnFileException::kBitDepth);
    EXPECT_EQ(Refusal(aiff, Aifc("fl32", 1, 32, k4000, {})),
              std::make_pair(int(CTarnFileException::kSampleRate),
                             std::string("IEEE float, 32-bit, 4000 Hz, 1 channel")));
    // COMM alone (2 s of frames promised, no sound data): nothing to load, refused.
    auto commOnly = Aiff(2, 96000, 16, k48000, {});
    commOnly.resize(38);
    EXPECT_EQ(ReadWith(aiff, commOnly, s), CTarnFileException::kReadFailed);
    // Sound data without a common chunk cannot be interpreted.
    auto ssndOnly = Aiff(2, 1, 16, k48000, {1, 2, 3, 4});
    std::copy_n("XXXX", 4, ssndOnly.begin() + 12);
    EXPECT_EQ(ReadWith(aiff, ssndOnly, s), CTarnFileException::kWrongFormat);
    // COMM promises 100 frames, the file holds one: that one comes in.
    ASSERT_EQ(ReadWith(aiff, Aiff(2, 100, 16, k48000, {1, 2, 3, 4}), s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 1);
    EXPECT_EQ(Left(s, 0), 0x0102);
    EXPECT_EQ(Right(s, 0), 0x0304);
}

} // namespace
