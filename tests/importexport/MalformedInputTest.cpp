#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ImportTestSupport.h"
#include "audio/CTarnAiffFileIO.h"
#include "audio/CTarnCompressedAudioReader.h"
#include "audio/CTarnWaveFileIO.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"

using namespace importtest;

namespace {

// What a reader may answer for a damaged file: success, or one of the file error codes.
const std::set<int> kAllowed = {kSucceeded,
                                CTarnFileException::kReadFailed,
                                CTarnFileException::kWrongFormat,
                                CTarnFileException::kOutOfMemory,
                                CTarnFileException::kSampleRate,
                                CTarnFileException::kBitDepth,
                                CTarnFileException::kChannels,
                                CTarnFileException::kWaveFormat,
                                CTarnFileException::kCompressedAiff,
                                CTarnFileException::kSetSampleFailed};

int ReadSampleFile(const std::vector<uint8_t>& bytes, CTarnSampleData& sample) {
    CHfcFile file;
    if (!file.OpenMemory(bytes.data(), bytes.size())) {
        return -2;
    }
    try {
        sample.LoadFile(file);
        return kSucceeded;
    } catch (const CTarnFileException& e) {
        return e.GetCode();
    }
}

// Feeds every reader truncations of a file and copies with random bytes overwritten.
void Torture(const std::vector<uint8_t>& original, const char* label) {
    CTarnWaveFileIO wave;
    CTarnAiffFileIO aiff;
    std::mt19937 random(2024);
    auto check = [&](const std::vector<uint8_t>& bytes, size_t variant) {
        CTarnSampleData s;
        CTarnCurrentSettingData cs;
        ASSERT_TRUE(kAllowed.count(ReadWith(wave, bytes, s, &cs))) << label << " " << variant;
        ASSERT_TRUE(kAllowed.count(ReadWith(aiff, bytes, s))) << label << " " << variant;
        ASSERT_TRUE(kAllowed.count(ReadSampleFile(bytes, s))) << label << " " << variant;
        EXPECT_LE(s.GetLoadedFrames(), MaxSampleFrames);
    };
    const size_t step = std::max<size_t>(1, original.size() / 40);
    for (size_t n = 0; n < std::min<size_t>(original.size(), 80); ++n) {
        check(std::vector<uint8_t>(original.begin(), original.begin() + long(n)), n);
    }
    for (size_t n = 80; n < original.size(); n += step) {
        check(std::vector<uint8_t>(original.begin(), original.begin() + long(n)), n);
    }
    for (size_t round = 0; round < 60; ++round) {
        std::vector<uint8_t> bytes = original;
        // Damage the headers mostly: that is where sizes and formats live.
        for (int k = 0; k < 4; ++k) {
            const size_t at = random() % std::min<size_t>(bytes.size(), 96);
            bytes[at] = uint8_t(random());
        }
        check(bytes, 10000 + round);
    }
}

TEST(MalformedInput, TruncatedAndDamagedFilesGiveAnErrorCode) {
    for (const char* name :
         {"wav_s16_mono_44k.wav", "wav_odd_chunk.wav", "wav_acid_2beats.wav",
          "aiff_s8_mono_44k.aif", "aiff_s24_mono_48k.aiff", "wav_s24_stereo_96k_ext.wav",
          "wav_s16_51_48k_ext.wav", "wav_f32_stereo_48k_sndfile.wav", "aifc_sowt_stereo_48k.aifc",
          "aifc_FL64_mono_48k.aifc", "aiff_ssnd_first.aif", "aiff_pipe_ffmpeg.aif"}) {
        Torture(FixtureBytes(name), name);
    }
    // A small sample file.
    CTarnSampleData bank;
    bank.Initialize();
    bank.SetLoadedFrames(100);
    bank.SetTempo(300.0);
    bank.SetPhraseLength(0);
    TempDir dir;
    CHfcFile out;
    ASSERT_TRUE(out.Open(dir.File("small.t2s"), CHfcFile::kWrite | CHfcFile::kBinary));
    ASSERT_TRUE(bank.SaveFile(out));
    out.Close();
    Torture(TempDir::ReadAll(dir.File("small.t2s")), "small.t2s");
}

TEST(MalformedInput, RandomBytesGiveAnErrorCode) {
    CTarnWaveFileIO wave;
    CTarnAiffFileIO aiff;
    std::mt19937 random(7);
    for (size_t size : {1u, 7u, 12u, 13u, 64u, 600u, 5000u}) {
        for (int round = 0; round < 10; ++round) {
            std::vector<uint8_t> bytes(size);
            for (uint8_t& b : bytes) {
                b = uint8_t(random());
            }
            // Plausible magic numbers get the walk past the first check.
            if (size >= 12 && round % 2) {
                std::copy_n(round % 4 == 1 ? "RIFF" : "FORM", 4, bytes.begin());
                std::copy_n(round % 4 == 1 ? "WAVE" : "AIFF", 4, bytes.begin() + 8);
            }
            CTarnSampleData s;
            ASSERT_TRUE(kAllowed.count(ReadWith(wave, bytes, s))) << size << " " << round;
            ASSERT_TRUE(kAllowed.count(ReadWith(aiff, bytes, s))) << size << " " << round;
            ASSERT_TRUE(kAllowed.count(ReadSampleFile(bytes, s))) << size << " " << round;
        }
    }
}

TEST(MalformedInput, TruncatedCompressedAudioIsReadOrRefusedWithCode14) {
    auto decoder = CreateCompressedAudioDecoder();
    if (!decoder) {
        GTEST_SKIP() << "built without a compressed-audio decoder";
    }
    TempDir dir;
    for (const char* name : {"sine_44k.mp3", "sine_48k.m4a"}) {
        const auto original = FixtureBytes(name);
        for (size_t n : {size_t(0), size_t(10), size_t(200), original.size() / 2}) {
            const std::string path = dir.File(std::to_string(n) + "_" + name);
            TempDir::WriteAll(path,
                              std::vector<uint8_t>(original.begin(), original.begin() + long(n)));
            CTarnSampleData s;
            try {
                CTarnCompressedAudioReader(*decoder).Read(s, path);
                EXPECT_LE(s.GetLoadedFrames(), MaxSampleFrames);
            } catch (const CTarnFileException& e) {
                EXPECT_EQ(e.GetCode(), CTarnFileException::kAudioReadFailed) << path;
            }
        }
    }
}

TEST(MalformedInput, OversizedLengthFieldsAreBoundedByTheFile) {
    CTarnWaveFileIO wave;
    CTarnAiffFileIO aiff;
    CTarnSampleData s;
    // A data chunk claiming 4 GB with 4 bytes present: the frame present is read, nothing of the
    // claim is allocated.
    auto wav = Riff({FmtChunk(2, 48000, 16), DataChunk({1, 2, 3, 4})});
    ef::WriteLE32(wav.data() + 12 + 24 + 4, 0xFFFFFFFF);
    EXPECT_EQ(ReadWith(wave, wav, s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 1);
    // A format chunk claiming 4 GB is read for its first 16 bytes; the walk then ends before
    // the audio, which is refused.
    auto bigFmt = Riff({FmtChunk(2, 48000, 16), DataChunk({1, 2, 3, 4})});
    ef::WriteLE32(bigFmt.data() + 16, 0xFFFFFFF0);
    EXPECT_EQ(ReadWith(wave, bigFmt, s), CTarnFileException::kReadFailed);
    // An AIFF COMM frame count of 4 billion reads the 4410 frames the file holds.
    auto aif = FixtureBytes("aiff_s8_mono_44k.aif");
    for (size_t i = 12; i + 4 < aif.size(); ++i) {
        if (memcmp(aif.data() + i, "COMM", 4) == 0) {
            ef::WriteBE32(aif.data() + i + 10, 0xFFFFFFFF);
            break;
        }
    }
    EXPECT_EQ(ReadWith(aiff, aif, s), kSucceeded);
    EXPECT_EQ(s.GetLoadedFrames(), 4410);
    // A sound data offset past the end.
    aif = FixtureBytes("aiff_s8_mono_44k.aif");
    for (size_t i = 12; i + 4 < aif.size(); ++i) {
        if (memcmp(aif.data() + i, "SSND", 4) == 0) {
            ef::WriteBE32(aif.data() + i + 8, 0x7FFFFFFF);
            break;
        }
    }
    EXPECT_EQ(ReadWith(aiff, aif, s), CTarnFileException::kReadFailed);
}

} // namespace
