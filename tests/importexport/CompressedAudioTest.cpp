#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "ImportTestSupport.h"
#include "audio/CTarnCompressedAudioReader.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"

using namespace importtest;

namespace {

// Peak resident memory allowed for one hostile decode. AddressSanitizer's shadow memory and
// allocator quarantine add a fixed cost of their own; what matters there is that the decode does
// not grow with the input (an unbounded probe of 1 GiB reaches gigabytes).
#if defined(__SANITIZE_ADDRESS__)
constexpr long kHostilePeakKiB = 512 * 1024;
#else
constexpr long kHostilePeakKiB = 64 * 1024;
#endif

// Hands the reader prepared channels, as a decoder would.
class FakeDecoder : public CHfcCompressedAudioDecoder {
public:
    bool Decode(const std::string&, size_t maxFrames, int maxChannels, Result& out) override {
        requestedFrames = maxFrames;
        requestedChannels = maxChannels;
        out = result;
        return ok;
    }
    std::vector<std::string> Extensions() const override { return {"mp3", "m4a"}; }

    Result result;
    bool ok = true;
    size_t requestedFrames = 0;
    int requestedChannels = 0;
};

int ReadCompressed(CHfcCompressedAudioDecoder& decoder, const std::string& path,
                   CTarnSampleData& sample) {
    try {
        CTarnCompressedAudioReader(decoder).Read(sample, path);
        return kSucceeded;
    } catch (const CTarnFileException& e) {
        return e.GetCode();
    }
}

TEST(CompressedAudioReader, ScalesLevelsAboveFullScaleAndLimitsTheRest) {
    FakeDecoder decoder;
    // Peak 1.25: everything is scaled by 0.8. -1.5 * 0.8 is still below -1 and is limited.
    decoder.result.sourceChannels = 2;
    decoder.result.channels = {{1.25f, 0.5f, -1.5f, std::numeric_limits<float>::quiet_NaN()},
                               {0.0f, -0.25f, 1.0f, 0.0f}};
    CTarnSampleData s;
    ASSERT_EQ(ReadCompressed(decoder, "x.mp3", s), kSucceeded);
    EXPECT_EQ(decoder.requestedFrames, size_t(MaxSampleFrames));
    EXPECT_EQ(decoder.requestedChannels, 2);
    EXPECT_EQ(s.GetSamplingRate(), 48000);
    EXPECT_EQ(s.GetLoadedFrames(), 4);
    EXPECT_EQ(Left(s, 0), 32767);
    EXPECT_EQ(Left(s, 1), 13106); // trunc(0.5 * 32767 * 0.8)
    EXPECT_EQ(Left(s, 2), -32768);
    EXPECT_EQ(Left(s, 3), 0);
    EXPECT_EQ(Right(s, 2), 26213);
    EXPECT_EQ(Right(s, 1), -6553);

    // Without a peak above 1.0 the gain is 1; below -1.0 is limited.
    decoder.result.channels = {{1.0f, -1.0f, -2.0f, 0.1f}};
    decoder.result.sourceChannels = 1;
    ASSERT_EQ(ReadCompressed(decoder, "x.mp3", s), kSucceeded);
    EXPECT_EQ(Left(s, 0), 32767);
    EXPECT_EQ(Left(s, 1), -32767);
    EXPECT_EQ(Left(s, 2), -32768);
    EXPECT_EQ(Left(s, 3), 3276);
    // Mono on both sides.
    EXPECT_EQ(Right(s, 3), 3276);
}

TEST(CompressedAudioReader, GuessesTheTempoWithTheFullBankRule) {
    FakeDecoder decoder;
    decoder.result.sourceChannels = 1;
    CTarnSampleData s;
    // Audio that filled the bank was probably cut: 120 BPM and 16 beats, whatever the length.
    decoder.result.channels = {std::vector<float>(MaxSampleFrames, 0.0f)};
    ASSERT_EQ(ReadCompressed(decoder, "x.m4a", s), kSucceeded);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
    EXPECT_EQ(s.GetPhraseLength(), 8);
    EXPECT_EQ(s.GetPlayLength(), 8);
    // Shorter audio is guessed from its length: 2 s, 4 beats at 120 BPM.
    decoder.result.channels = {std::vector<float>(96000, 0.0f)};
    ASSERT_EQ(ReadCompressed(decoder, "x.m4a", s), kSucceeded);
    EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0);
    EXPECT_EQ(s.GetPhraseLength(), 6);
    EXPECT_EQ(s.GetPlayLength(), 6);
}

TEST(CompressedAudioReader, DecoderFailureIsCode14) {
    FakeDecoder decoder;
    decoder.ok = false;
    CTarnSampleData s;
    EXPECT_EQ(ReadCompressed(decoder, "x.mp3", s), CTarnFileException::kAudioReadFailed);
    decoder.ok = true;
    EXPECT_EQ(ReadCompressed(decoder, "x.mp3", s), CTarnFileException::kAudioReadFailed);
}

class FfmpegDecoding : public ::testing::Test {
protected:
    void SetUp() override {
        decoder_ = CreateCompressedAudioDecoder();
        if (!decoder_) {
            GTEST_SKIP() << "built without a compressed-audio decoder";
        }
    }
    std::unique_ptr<CHfcCompressedAudioDecoder> decoder_;
};

// 0.5 s of a 440 Hz sine at ffmpeg's default amplitude of 1/8, spread over two channels by
// ffmpeg's mono-to-stereo mix (-3 dB each); lossy coding leaves the sides nearly equal.
void ExpectHalfSecondSine(const CTarnSampleData& s) {
    EXPECT_EQ(s.GetSamplingRate(), 48000);
    EXPECT_NEAR(s.GetLoadedFrames(), 24000, 1200);
    int peak = 0;
    for (int f = 0; f < s.GetLoadedFrames(); ++f) {
        peak = std::max(peak, std::abs(int(Left(s, f))));
        ASSERT_NEAR(Left(s, f), Right(s, f), 64) << f;
    }
    EXPECT_NEAR(peak, 32767 / 8 * 0.7071, 300);
    // 0.5 s: 1 beat at 120 BPM.
    EXPECT_NEAR(s.GetTempo(), 120.0, 6.0);
    EXPECT_EQ(s.GetPhraseLength(), 4);
}

TEST_F(FfmpegDecoding, ReadsMp3AndM4aWrittenByFfmpeg) {
    CTarnSampleData mp3;
    ASSERT_EQ(ReadCompressed(*decoder_, Fixture("sine_44k.mp3"), mp3), kSucceeded);
    ExpectHalfSecondSine(mp3);
    CTarnSampleData m4a;
    ASSERT_EQ(ReadCompressed(*decoder_, Fixture("sine_48k.m4a"), m4a), kSucceeded);
    ExpectHalfSecondSine(m4a);
}

TEST_F(FfmpegDecoding, CutsAtTheBankAndFailsOnWhatIsNotAudio) {
    CHfcCompressedAudioDecoder::Result result;
    ASSERT_TRUE(decoder_->Decode(Fixture("sine_48k.m4a"), 1000, 1, result));
    EXPECT_EQ(result.sourceChannels, 2);
    ASSERT_EQ(result.channels.size(), 1u);
    EXPECT_EQ(result.channels[0].size(), 1000u);

    TempDir dir;
    std::vector<uint8_t> noise(4096);
    uint32_t x = 12345;
    for (uint8_t& b : noise) {
        x = x * 1103515245 + 12345;
        b = uint8_t(x >> 24);
    }
    TempDir::WriteAll(dir.File("noise.mp3"), noise);
    TempDir::WriteAll(dir.File("empty.m4a"), {});
    CTarnSampleData s;
    EXPECT_EQ(ReadCompressed(*decoder_, dir.File("noise.mp3"), s),
              CTarnFileException::kAudioReadFailed);
    EXPECT_EQ(ReadCompressed(*decoder_, dir.File("empty.m4a"), s),
              CTarnFileException::kAudioReadFailed);
    EXPECT_EQ(ReadCompressed(*decoder_, dir.File("missing.mp3"), s),
              CTarnFileException::kAudioReadFailed);
}

// Decodes a path in a child process an alarm ends after 20 s; the child's peak resident size
// comes back through wait4.
struct BoundedDecode {
    bool finished = false;
    bool decoded = false;
    long peakKiB = 0;
    double seconds = 0;
};

BoundedDecode DecodeInChild(CHfcCompressedAudioDecoder& decoder, const std::string& path) {
    BoundedDecode result;
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        alarm(20);
        CHfcCompressedAudioDecoder::Result out;
        _exit(decoder.Decode(path, MaxSampleFrames, 2, out) ? 1 : 0);
    }
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        result.finished = true;
        result.decoded = WEXITSTATUS(status) == 1;
        result.peakKiB = usage.ru_maxrss;
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

TEST_F(FfmpegDecoding, HostileInputsCostLittleTimeAndMemory) {
    TempDir dir;
    // A gigabyte of zeros, sparse on the disk, and an empty file behind MP3 names; a device and
    // a FIFO without a writer, which must be refused before any read.
    const std::string zeros = dir.File("zeros.mp3");
    {
        FILE* f = std::fopen(zeros.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(ftruncate(fileno(f), off_t(1) << 30), 0);
        std::fclose(f);
    }
    TempDir::WriteAll(dir.File("empty.mp3"), {});
    const std::string device = dir.File("device.mp3");
    ASSERT_EQ(symlink("/dev/zero", device.c_str()), 0);
    const std::string fifo = dir.File("fifo.mp3");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {zeros, dir.File("empty.mp3"), device, fifo}) {
        const BoundedDecode run = DecodeInChild(*decoder_, path);
        ASSERT_TRUE(run.finished) << path;
        EXPECT_FALSE(run.decoded) << path;
        EXPECT_LT(run.seconds, 5.0) << path;
        EXPECT_LT(run.peakKiB, kHostilePeakKiB) << path;
        RecordProperty(path.substr(path.rfind('/') + 1) + "_peak_KiB", int(run.peakKiB));
    }
    // The real files still decode through the bounded reader.
    EXPECT_TRUE(DecodeInChild(*decoder_, Fixture("sine_44k.mp3")).decoded);
    EXPECT_TRUE(DecodeInChild(*decoder_, Fixture("sine_48k.m4a")).decoded);
}

} // namespace
