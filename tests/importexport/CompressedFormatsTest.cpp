#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ImportTestSupport.h"
#include "audio/CTarnCompressedAudioReader.h"
#include "audio/CTarnExternalSampleImporter.h"
#include "framework/CEfFileIO.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"
#include "support/RecordingAlertPresenter.h"

using namespace importtest;

namespace {

class CompressedFormats : public ::testing::Test {
protected:
    void SetUp() override {
        decoder_ = CreateCompressedAudioDecoder();
        if (!decoder_) {
            GTEST_SKIP() << "built without a compressed-audio decoder";
        }
    }

    // Imports through the reader the editor uses; fails the test on an error.
    void Import(const std::string& name, CTarnSampleData& s) {
        ASSERT_NO_THROW(CTarnCompressedAudioReader(*decoder_).Read(s, Fixture(name))) << name;
    }

    std::vector<float> DecodeMono(const std::string& name) {
        CHfcCompressedAudioDecoder::Result result;
        EXPECT_TRUE(decoder_->Decode(Fixture(name), MaxSampleFrames, 1, result)) << name;
        return result.channels.empty() ? std::vector<float>{} : result.channels[0];
    }

    std::unique_ptr<CHfcCompressedAudioDecoder> decoder_;
};

// Power of the signal at one frequency through a Kaiser window of beta 20 (side lobes near
// -190 dB), so a component 100 dB below the tone is measured and not the tone's leakage.
double PowerAt(const std::vector<float>& x, size_t start, size_t length, double frequency) {
    const double beta = 20.0;
    const auto i0 = [](double v) {
        double sum = 1.0;
        double term = 1.0;
        for (int k = 1; k < 60; ++k) {
            term *= (v / (2.0 * k)) * (v / (2.0 * k));
            sum += term;
        }
        return sum;
    };
    const double norm = i0(beta);
    double re = 0.0;
    double im = 0.0;
    for (size_t n = 0; n < length; ++n) {
        const double r = 2.0 * double(n) / double(length - 1) - 1.0;
        const double w = i0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / norm;
        const double phase = 2.0 * M_PI * frequency * double(n) / 48000.0;
        re += w * x[start + n] * std::cos(phase);
        im -= w * x[start + n] * std::sin(phase);
    }
    return re * re + im * im;
}

TEST_F(CompressedFormats, TheDecoderListsEveryFormatItReadsHere) {
    const std::vector<std::string> extensions = decoder_->Extensions();
    // MP3 and AAC are what the decoder cannot be made without; the rest come with any usual
    // FFmpeg build.
    for (const char* e : {"mp3", "m4a", "aac", "flac", "ogg", "opus", "caf", "wv"}) {
        EXPECT_NE(std::find(extensions.begin(), extensions.end(), e), extensions.end()) << e;
    }
    EXPECT_TRUE(decoder_->TakesFileName("/music/Loop.FLAC"));
    EXPECT_TRUE(decoder_->TakesFileName("take.2.wv"));
    EXPECT_FALSE(decoder_->TakesFileName("/a.flac/loop"));
    EXPECT_FALSE(decoder_->TakesFileName("loop.wav"));
    EXPECT_FALSE(decoder_->TakesFileName("flac"));
}

// 4.000 s at 120 BPM is 8 beats. The AAC encoder pads the last packet (to 192512 frames at
// 48 kHz, 177152 at 44.1 kHz); the container's duration says where the audio ends.
TEST_F(CompressedFormats, AacLoopsComeInAtTheirLengthAndTempo) {
    for (const char* name : {"loop_120bpm_48k.m4a", "loop_120bpm_44k.m4a"}) {
        CTarnSampleData s;
        Import(name, s);
        EXPECT_EQ(s.GetSamplingRate(), 48000) << name;
        EXPECT_NEAR(s.GetLoadedFrames(), 192000, 1) << name;
        EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0) << name;
        EXPECT_EQ(s.GetPhraseLength(), 7) << name;
    }
}

// Without an edit list, the delay and length in an "iTunSMPB" tag: the same audio as with one.
TEST_F(CompressedFormats, AacDelayAndLengthComeFromAnITunesTag) {
    CTarnSampleData tagged;
    Import("loop_120bpm_48k_smpb.m4a", tagged);
    EXPECT_EQ(tagged.GetLoadedFrames(), 192000);
    EXPECT_DOUBLE_EQ(tagged.GetTempo(), 120.0);
    CTarnSampleData edited;
    Import("loop_120bpm_48k.m4a", edited);
    ASSERT_EQ(edited.GetLoadedFrames(), 192000);
    int largest = 0;
    for (int f = 0; f < 192000; ++f) {
        largest = std::max(largest, std::abs(Left(tagged, f) - Left(edited, f)));
    }
    EXPECT_LE(largest, 2);
}

// libmp3lame's tag states its delay and padding, which come off; without the tag nothing says
// what is padding, and the decoded length stays as every player has it.
TEST_F(CompressedFormats, Mp3LoopsAreTrimmedByTheirEncoderTag) {
    for (const char* name : {"loop_120bpm_48k.mp3", "loop_120bpm_44k.mp3"}) {
        CTarnSampleData s;
        Import(name, s);
        EXPECT_NEAR(s.GetLoadedFrames(), 192000, 1) << name;
        EXPECT_DOUBLE_EQ(s.GetTempo(), 120.0) << name;
        EXPECT_EQ(s.GetPhraseLength(), 7) << name;
    }
    CTarnSampleData untagged;
    Import("loop_120bpm_48k_notag.mp3", untagged);
    // 168 MP3 frames of 1152 samples.
    EXPECT_EQ(untagged.GetLoadedFrames(), 193536);
    EXPECT_EQ(untagged.GetPhraseLength(), 7);
}

// Each format of 0.5 s (24000 frames at 48 kHz) comes in at its length with its sine (1/8 of full
// scale).
TEST_F(CompressedFormats, EveryFormatImportsAtItsLength) {
    struct Case {
        const char* name;
        int least;
        int most;
    };
    const Case cases[] = {
        {"sine_48k.flac", 24000, 24000},
        {"sine_44k.flac", 23999, 24001},
        {"sine_48k.opus", 24000, 24000},
        {"sine_48k.caf", 24000, 24000},
        {"sine_48k.wv", 24000, 24000},
        // FFmpeg's Vorbis decoder gives up the last 128 samples of a stream.
        {"sine_48k.ogg", 23872, 24000},
        // Raw ADTS carries no delay or length: the encoder's 1024 frames of priming and its
        // padding of the last packet stay.
        {"sine_48k.aac", 24000, 24000 + 2048},
    };
    for (const Case& c : cases) {
        CTarnSampleData s;
        Import(c.name, s);
        EXPECT_GE(s.GetLoadedFrames(), c.least) << c.name;
        EXPECT_LE(s.GetLoadedFrames(), c.most) << c.name;
        int peak = 0;
        for (int f = 0; f < s.GetLoadedFrames(); ++f) {
            peak = std::max(peak, std::abs(int(Left(s, f))));
            ASSERT_EQ(Left(s, f), Right(s, f)) << c.name << " " << f;
        }
        EXPECT_NEAR(peak, 32767 / 8, 250) << c.name;
        // 0.5 s is one beat at 120 BPM; raw AAC's extra frames slow it down.
        const double seconds = s.GetLoadedFrames() / 48000.0;
        EXPECT_NEAR(s.GetTempo(), 60.0 / seconds, 0.1) << c.name;
    }
}

TEST_F(CompressedFormats, OpenByPathTakesEveryListedFormat) {
    RecordingAlertPresenter alerts;
    for (const char* name : {"sine_48k.flac", "sine_48k.opus", "sine_48k.wv", "sine_48k.caf",
                             "sine_48k.ogg", "sine_48k.aac"}) {
        CTarnSampleData bank;
        CTarnCurrentSettingData setting;
        EXPECT_EQ(CTarnExternalSampleImporter(decoder_.get()).Import(Fixture(name), bank, setting),
                  CEfFileIO::kSucceeded)
            << name;
        EXPECT_GT(bank.GetLoadedFrames(), 23000) << name;
        // Without a decoder the same file is refused.
        EXPECT_EQ(CTarnExternalSampleImporter().Import(Fixture(name), bank, setting),
                  CEfFileIO::kFailed)
            << name;
    }
    EXPECT_TRUE(std::all_of(alerts.alerts.begin(), alerts.alerts.end(),
                            [](const auto& a) { return a.text == "File format not supported"; }));
}

// The 44.1 -> 48 kHz conversion keeps a 20 kHz tone and puts its image (at 48000 - 24100 =
// 23900 Hz) more than 100 dB below it.
TEST_F(CompressedFormats, ResamplingRejectsImagesOfA20kHzTone) {
    const std::vector<float> x = DecodeMono("tone_20k_44k.flac");
    ASSERT_NEAR(double(x.size()), 24000.0, 1.0);
    const size_t start = 2000;
    const size_t length = 16384;
    const double tone = PowerAt(x, start, length, 20000.0);
    const double image = PowerAt(x, start, length, 23900.0);
    const double rejection = 10.0 * std::log10(tone / std::max(image, 1e-300));
    RecordProperty("image_rejection_dB", int(rejection));
    EXPECT_GT(rejection, 100.0);
    // The tone itself passes (0.5 of full scale, within 0.5 dB).
    double peak = 0.0;
    for (size_t n = start; n < start + length; ++n) {
        peak = std::max(peak, double(std::abs(x[n])));
    }
    EXPECT_NEAR(20.0 * std::log10(peak / 0.5), 0.0, 0.5);
}

// A click at source frame 11025 lands at output frame 11025 * 48000 / 44100 = 12000, and 0.5 s of
// source gives exactly 24000 frames: the resampler's delay is compensated.
TEST_F(CompressedFormats, ResamplingKeepsTheTimingOfAClick) {
    const std::vector<float> x = DecodeMono("click_44k.flac");
    ASSERT_EQ(x.size(), 24000u);
    const auto peak = std::max_element(x.begin(), x.end(),
                                       [](float a, float b) { return std::abs(a) < std::abs(b); });
    EXPECT_NEAR(double(peak - x.begin()), 12000.0, 1.0);
    EXPECT_GT(*peak, 0.5f);
}

} // namespace
