#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/ffmpeg/CHfcFfmpegResampler.h"

namespace {

using Engine = CHfcFfmpegResampler::Engine;

// Power at one frequency of 48 kHz audio through a Kaiser window of beta 20 (side lobes near
// -190 dB), so a component 100 dB below a tone is measured and not the tone's leakage.
double PowerAt(const std::vector<float>& x, size_t start, size_t length, double frequency) {
    const auto i0 = [](double v) {
        double sum = 1.0;
        double term = 1.0;
        for (int k = 1; k < 60; ++k) {
            term *= (v / (2.0 * k)) * (v / (2.0 * k));
            sum += term;
        }
        return sum;
    };
    const double beta = 20.0;
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

std::vector<float> Tone(int rate, double frequency, size_t frames) {
    std::vector<float> x(frames);
    for (size_t n = 0; n < frames; ++n) {
        x[n] = float(0.5 * std::sin(2.0 * M_PI * frequency * double(n) / rate));
    }
    return x;
}

// Where a source frequency's first image lands at 48 kHz: the image at rate - f folded about
// 24 kHz when it lies above it.
double ImageAt(int rate, double frequency) {
    const double image = rate - frequency;
    return image > 24000.0 ? 48000.0 - image : image;
}

class Resampler : public ::testing::TestWithParam<Engine> {};

TEST_P(Resampler, ImagesOfTonesUpTo20kHzAreAtLeast100dBDown) {
    for (const int rate : {44100, 32000, 22050}) {
        for (const double frequency : {1000.0, 10000.0, 15000.0, 20000.0}) {
            if (frequency >= rate / 2.0 - 500.0) {
                continue;
            }
            std::vector<std::vector<float>> planes = {Tone(rate, frequency, size_t(rate))};
            ASSERT_TRUE(CHfcFfmpegResampler::To48k(planes, rate, 1000000, GetParam()));
            ASSERT_EQ(planes[0].size(), 48000u);
            const double tone = PowerAt(planes[0], 8000, 32768, frequency);
            const double image = PowerAt(planes[0], 8000, 32768, ImageAt(rate, frequency));
            const double rejection = 10.0 * std::log10(tone / std::max(image, 1e-300));
            EXPECT_GT(rejection, 100.0) << rate << " Hz, tone " << frequency;
            // The tone itself passes at its level (within 0.5 dB).
            const double level = 10.0 * std::log10(tone / PowerAt(Tone(48000, frequency, 48000),
                                                                  8000, 32768, frequency));
            EXPECT_NEAR(level, 0.0, 0.5) << rate << " Hz, tone " << frequency;
        }
    }
}

TEST_P(Resampler, KeepsTheTimingAndGivesTheExactLength) {
    for (const int rate : {44100, 96000, 8000, 192000}) {
        const size_t frames = size_t(rate) / 2;
        const size_t click = size_t(rate) / 4 + 7;
        std::vector<std::vector<float>> planes = {std::vector<float>(frames, 0.0f),
                                                  std::vector<float>(frames, 0.0f)};
        planes[0][click] = 0.9f;
        planes[1][click] = -0.9f;
        ASSERT_TRUE(CHfcFfmpegResampler::To48k(planes, rate, 1000000, GetParam()));
        ASSERT_EQ(planes.size(), 2u);
        EXPECT_EQ(planes[0].size(), 24000u) << rate;
        EXPECT_EQ(planes[1].size(), 24000u) << rate;
        const auto peak = std::max_element(planes[0].begin(), planes[0].end());
        const double expected = std::round(double(click) * 48000.0 / rate);
        EXPECT_NEAR(double(peak - planes[0].begin()), expected, 1.0) << rate;
        const auto trough = std::min_element(planes[1].begin(), planes[1].end());
        EXPECT_EQ(trough - planes[1].begin(), peak - planes[0].begin()) << rate;
    }
}

TEST_P(Resampler, CutsAtTheLimitAndLeaves48kHzAlone) {
    std::vector<std::vector<float>> planes = {Tone(44100, 440.0, 44100)};
    ASSERT_TRUE(CHfcFfmpegResampler::To48k(planes, 44100, 1000, GetParam()));
    EXPECT_EQ(planes[0].size(), 1000u);

    const std::vector<float> source = Tone(48000, 440.0, 4800);
    planes = {source};
    ASSERT_TRUE(CHfcFfmpegResampler::To48k(planes, 48000, 1000000, GetParam()));
    EXPECT_EQ(planes[0], source);

    std::vector<std::vector<float>> none;
    EXPECT_FALSE(CHfcFfmpegResampler::To48k(none, 44100, 1000, GetParam()));
    planes = {source};
    EXPECT_FALSE(CHfcFfmpegResampler::To48k(planes, 0, 1000, GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Engines, Resampler, ::testing::Values(Engine::kSoxr, Engine::kSwr),
                         [](const auto& info) {
                             return std::string(info.param == Engine::kSoxr ? "Soxr" : "Swr");
                         });

TEST(ResamplerChoice, TheBestEngineHereIsSoxr) {
    // Debian's and most distributions' FFmpeg are built with libsoxr.
    EXPECT_EQ(CHfcFfmpegResampler::BestEngine(), Engine::kSoxr);
}

} // namespace
