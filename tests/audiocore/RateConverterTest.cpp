#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "audio/CTarnRateConverter.h"

namespace {

// Rates a user's files come in, plus awkward ones whose reduced ratio has a huge up-sampling
// factor (44056 Hz: 6000/5507; 47999 Hz: 48000/47999).
const uint32_t kRates[] = {8000,  11025, 16000, 22050, 32000,  44056,
                           44100, 47999, 88200, 96000, 176400, 192000};

std::vector<float> Tone(uint32_t rate, size_t frames, unsigned channels, double frequency,
                        double amplitude) {
    std::vector<float> out(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2.0 * std::numbers::pi * frequency *
                                              static_cast<double>(i) / static_cast<double>(rate));
        for (unsigned c = 0; c < channels; ++c) {
            out[i * channels + c] = static_cast<float>(c == 0 ? v : -v);
        }
    }
    return out;
}

// The highest tone a source rate keeps: 20 kHz, or 20/22.05 of its Nyquist frequency.
double TopTone(uint32_t rate) {
    return std::min(20000.0, std::min<double>(rate, 48000) * 20000.0 / 44100.0);
}

struct ToneFit {
    double amplitude = 0.0;
    // Everything that is not the tone, relative to it, in dB.
    double residualDb = 0.0;
};

// Least-squares fit of a sine and a cosine of the known frequency to channel 0 of the output,
// away from the ends (where the input starts and stops abruptly).
ToneFit FitTone(const std::vector<float>& out, unsigned channels, double frequency) {
    const size_t frames = out.size() / channels;
    const size_t margin = 400;
    double ss = 0, sc = 0, cc = 0, ys = 0, yc = 0;
    for (size_t i = margin; i + margin < frames; ++i) {
        const double w = 2.0 * std::numbers::pi * frequency * static_cast<double>(i) / 48000.0;
        const double s = std::sin(w);
        const double c = std::cos(w);
        const double y = out[i * channels];
        ss += s * s;
        sc += s * c;
        cc += c * c;
        ys += y * s;
        yc += y * c;
    }
    const double det = ss * cc - sc * sc;
    const double a = (ys * cc - yc * sc) / det;
    const double b = (yc * ss - ys * sc) / det;
    double toneEnergy = 0;
    double residualEnergy = 0;
    for (size_t i = margin; i + margin < frames; ++i) {
        const double w = 2.0 * std::numbers::pi * frequency * static_cast<double>(i) / 48000.0;
        const double fit = a * std::sin(w) + b * std::cos(w);
        const double e = out[i * channels] - fit;
        toneEnergy += fit * fit;
        residualEnergy += e * e;
    }
    return {std::sqrt(a * a + b * b), 10.0 * std::log10(residualEnergy / toneEnergy)};
}

} // namespace

TEST(RateConverter, FrameCountsAreTheRoundedRatio) {
    const std::vector<float> input(3 * 20000, 0.25f);
    for (uint32_t rate : kRates) {
        for (size_t frames : {size_t{1}, size_t{2}, size_t{147}, size_t{1001}, size_t{20000}}) {
            const auto out = CTarnRateConverter::To48k(input.data(), frames, 3, rate);
            const auto expected =
                static_cast<size_t>(std::floor(static_cast<double>(frames) * 48000.0 / rate + 0.5));
            EXPECT_EQ(out.size(), expected * 3) << rate << " Hz, " << frames << " frames";
            EXPECT_EQ(CTarnRateConverter::OutputFrames(frames, rate), expected);
        }
    }
    EXPECT_EQ(CTarnRateConverter::OutputFrames(44100, 44100), 48000u);
    EXPECT_EQ(CTarnRateConverter::OutputFrames(480000, 96000), 240000u);
    // 1 frame at 96 kHz is half an output frame: halves round up.
    EXPECT_EQ(CTarnRateConverter::OutputFrames(1, 96000), 1u);
}

TEST(RateConverter, RefusesWhatItCannotConvert) {
    const std::vector<float> input(100, 0.5f);
    EXPECT_TRUE(CTarnRateConverter::To48k(input.data(), 50, 2, 7999).empty());
    EXPECT_TRUE(CTarnRateConverter::To48k(input.data(), 50, 2, 192001).empty());
    EXPECT_TRUE(CTarnRateConverter::To48k(input.data(), 50, 0, 44100).empty());
    EXPECT_TRUE(CTarnRateConverter::To48k(input.data(), 0, 2, 44100).empty());
    EXPECT_TRUE(CTarnRateConverter::To48k(nullptr, 50, 2, 44100).empty());
}

TEST(RateConverter, At48kTheInputComesBackUnchanged) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> input(2 * 5000);
    for (float& v : input) {
        v = dist(rng);
    }
    EXPECT_EQ(CTarnRateConverter::To48k(input.data(), 5000, 2, 48000), input);
}

TEST(RateConverter, AClickLandsAtItsScaledPositionOnEveryChannel) {
    for (uint32_t rate : kRates) {
        const size_t frames = rate / 10;
        for (size_t k : {size_t{0}, size_t{3}, size_t{777}, frames / 2 + 1, frames - 1}) {
            std::vector<float> input(frames * 2, 0.0f);
            input[k * 2] = 1.0f;
            input[k * 2 + 1] = -0.5f;
            const auto out = CTarnRateConverter::To48k(input.data(), frames, 2, rate);
            size_t peakLeft = 0;
            size_t peakRight = 0;
            for (size_t t = 0; t < out.size() / 2; ++t) {
                if (std::abs(out[t * 2]) > std::abs(out[peakLeft * 2])) {
                    peakLeft = t;
                }
                if (std::abs(out[t * 2 + 1]) > std::abs(out[peakRight * 2 + 1])) {
                    peakRight = t;
                }
            }
            const double expected = std::floor(static_cast<double>(k) * 48000.0 / rate + 0.5);
            EXPECT_NEAR(static_cast<double>(peakLeft), expected, 1.0) << rate << " Hz, k " << k;
            EXPECT_EQ(peakLeft, peakRight);
            EXPECT_GT(out[peakLeft * 2], 0.0f);
            EXPECT_LT(out[peakRight * 2 + 1], 0.0f);
        }
    }
}

TEST(RateConverter, TonesKeepTheirLevelAndImagesStayMoreThan100dBDown) {
    for (uint32_t rate : kRates) {
        const size_t frames = rate / 4;
        for (double frequency : {997.0, TopTone(rate) * 0.6, TopTone(rate)}) {
            const auto input = Tone(rate, frames, 2, frequency, 0.5);
            const auto out = CTarnRateConverter::To48k(input.data(), frames, 2, rate);
            const ToneFit fit = FitTone(out, 2, frequency);
            EXPECT_NEAR(20.0 * std::log10(fit.amplitude / 0.5), 0.0, 0.01)
                << rate << " Hz source, " << frequency << " Hz tone";
            EXPECT_LT(fit.residualDb, -100.0) << rate << " Hz source, " << frequency << " Hz tone";
        }
    }
}

TEST(RateConverter, ContentAboveTheOutputBandDoesNotAlias) {
    // 30 kHz and 45 kHz would fold to 18 kHz and 3 kHz.
    for (uint32_t rate : {96000u, 192000u}) {
        for (double frequency : {30000.0, 45000.0}) {
            const size_t frames = rate / 4;
            const auto input = Tone(rate, frames, 1, frequency, 0.5);
            const auto out = CTarnRateConverter::To48k(input.data(), frames, 1, rate);
            double energy = 0;
            for (size_t i = 400; i + 400 < out.size(); ++i) {
                energy += static_cast<double>(out[i]) * out[i];
            }
            const double rms = std::sqrt(energy / static_cast<double>(out.size() - 800));
            EXPECT_LT(20.0 * std::log10(rms / (0.5 / std::sqrt(2.0))), -100.0)
                << rate << " Hz source, " << frequency << " Hz tone";
        }
    }
}

TEST(RateConverter, EveryInnerLoopGivesTheSameBits) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    for (uint32_t rate : {22050u, 44056u, 44100u, 96000u, 47999u}) {
        for (unsigned channels : {1u, 2u, 3u}) {
            const size_t frames = 3000;
            std::vector<float> input(frames * channels);
            for (float& v : input) {
                v = dist(rng);
            }
            // Full scale on every other frame of channel 0.
            for (size_t i = 0; i < frames; i += 2) {
                input[i * channels] = i % 4 == 0 ? 1.0f : -1.0f;
            }
            using Arithmetic = CTarnRateConverter::Arithmetic;
            const auto plain = CTarnRateConverter::To48k(input.data(), frames, channels, rate,
                                                         Arithmetic::kPortable);
            for (Arithmetic arithmetic :
                 {Arithmetic::kFastest, Arithmetic::kSse2, Arithmetic::kAvx2}) {
                const auto vector =
                    CTarnRateConverter::To48k(input.data(), frames, channels, rate, arithmetic);
                ASSERT_EQ(vector.size(), plain.size());
                EXPECT_EQ(std::memcmp(vector.data(), plain.data(), vector.size() * sizeof(float)),
                          0)
                    << rate << " Hz, " << channels << " channels, arithmetic "
                    << static_cast<int>(arithmetic);
            }
        }
    }
}

TEST(RateConverter, ChannelsAreConvertedIndependently) {
    const size_t frames = 4410;
    auto stereo = Tone(44100, frames, 2, 440.0, 0.5);
    std::vector<float> left(frames);
    for (size_t i = 0; i < frames; ++i) {
        left[i] = stereo[i * 2];
    }
    const auto both = CTarnRateConverter::To48k(stereo.data(), frames, 2, 44100);
    const auto alone = CTarnRateConverter::To48k(left.data(), frames, 1, 44100);
    ASSERT_EQ(both.size(), alone.size() * 2);
    for (size_t i = 0; i < alone.size(); ++i) {
        ASSERT_EQ(both[i * 2], alone[i]) << i;
        ASSERT_EQ(both[i * 2 + 1], -alone[i]) << i;
    }
}
