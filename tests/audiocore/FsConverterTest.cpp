#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "audio/CFsConverter.h"
#include "audio/CKaiserWindowCoeffs.h"
#include "audio/COversamplingFilterCoeffs.h"
#include "audio/FsConverterKernels.h"
#include "audio/TarnDeterministicSine.h"

namespace {

uint32_t Bits(float value) {
    return std::bit_cast<uint32_t>(value);
}

// The one conversion the program makes: 44.1 -> 48 kHz.
void Design48k(CFsConverter& converter) {
    converter.SetAttenuation(120.0);
    ASSERT_TRUE(converter.Design(15361, 44100, 22050, 160, 147));
}

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

Stereo RandomStereo(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    Stereo s;
    for (int i = 0; i < frames; ++i) {
        s.left.push_back(dist(rng));
        s.right.push_back(dist(rng));
    }
    return s;
}

// Feeds the input in the given block sizes (cycled) and returns everything produced.
Stereo Convert(CFsConverter& converter, const Stereo& input, const std::vector<int>& blocks) {
    Stereo out;
    const int total = static_cast<int>(input.left.size());
    size_t b = 0;
    for (int start = 0; start < total;) {
        const int count = std::min(blocks[b++ % blocks.size()], total - start);
        std::vector<float> l(static_cast<size_t>(converter.MaxOutputFrames(count)));
        std::vector<float> r(l.size());
        const float* in[2] = {input.left.data() + start, input.right.data() + start};
        float* outs[2] = {l.data(), r.data()};
        const int made = converter.Process(in, outs, count);
        EXPECT_LE(made, static_cast<int>(l.size()));
        out.left.insert(out.left.end(), l.begin(), l.begin() + made);
        out.right.insert(out.right.end(), r.begin(), r.begin() + made);
        start += count;
    }
    return out;
}

} // namespace

// The filter designs' own sine agrees with the library's to within rounding over the range the
// designs use, and is exact at the points that matter most.
TEST(FilterCoeffs, DeterministicSineMatchesTheLibrary) {
    EXPECT_EQ(tarn::DeterministicSine(0.0), 0.0);
    EXPECT_EQ(tarn::DeterministicSine(std::numbers::pi / 2), 1.0);
    EXPECT_EQ(tarn::DeterministicSine(-std::numbers::pi / 2), -1.0);
    double worst = 0.0;
    for (int i = -200000; i <= 200000; ++i) {
        const double x = i * 0.0137;
        worst = std::max(worst, std::abs(tarn::DeterministicSine(x) - std::sin(x)));
    }
    EXPECT_LT(worst, 4e-15);
}

TEST(FilterCoeffs, KaiserWindowShape) {
    CKaiserWindowCoeffs window;
    EXPECT_EQ(window.GetLength(), 48);
    window.SetAttenuation(120.0);
    EXPECT_NEAR(window.GetBeta(), 12.26526, 1e-9);
    window.SetAttenuation(40.0);
    EXPECT_NEAR(window.GetBeta(), 0.5842 * std::pow(19.0, 0.4) + 0.07886 * 19.0, 1e-12);
    window.SetAttenuation(20.0);
    EXPECT_EQ(window.GetBeta(), 0.0);
    EXPECT_DOUBLE_EQ(window.I0(0.0), 1.0);
    EXPECT_NEAR(window.I0(1.0), 1.2660658777520082, 1e-15);

    window.SetAttenuation(100.0);
    window.SetLength(101);
    EXPECT_NEAR(window.Value(50), 1.0, 1e-12);
    EXPECT_NEAR(window.Value(0), window.Value(100), 1e-15);
    EXPECT_NEAR(window.Value(10), window.Value(90), 1e-15);
    EXPECT_NEAR(window.Value(0), 1.0 / window.I0(window.GetBeta()), 1e-15);
    EXPECT_EQ(window.Value(101), 0.0);
    EXPECT_EQ(window.Value(-1), 0.0);
}

TEST(FilterCoeffs, WindowedSincScaledByGain) {
    COversamplingFilterCoeffs filter;
    filter.SetLength(15361);
    filter.SetSamplingRate(44100 * 160);
    filter.SetCutoff(22050);
    filter.SetGain(160.0);
    EXPECT_DOUBLE_EQ(filter.Coefficient(7680), 1.0);
    EXPECT_NEAR(filter.Coefficient(7680 + 160), 0.0, 1e-12);
    EXPECT_NEAR(filter.Coefficient(7600), filter.Coefficient(7760), 1e-15);
    EXPECT_EQ(filter.Coefficient(15361), 0.0);
    EXPECT_EQ(filter.HalfLength(), 7680);
    EXPECT_NEAR(filter.DelaySeconds(), 7680.0 / 7056000.0, 1e-15);
}

TEST(FsConverter, DesignCapsAndRefusals) {
    CFsConverter converter(2, CFsConverter::kModeScalar);
    Design48k(converter);
    EXPECT_EQ(converter.GetTapsPerPhase(), 100);
    EXPECT_EQ(converter.GetUp(), 160);
    EXPECT_EQ(converter.GetDown(), 147);
    EXPECT_EQ(converter.DelayUpsampled(), 7680);
    EXPECT_TRUE(converter.Design(4000, 8000, 3000, 600, 1));
    EXPECT_EQ(converter.GetUp(), 511);
    // 8 taps per phase at L = 511: ceil(4000 / 511) rounded up to a multiple of 4.
    EXPECT_EQ(converter.GetTapsPerPhase(), 8);
    EXPECT_FALSE(converter.Design(0, 44100, 22050, 160, 147));
    EXPECT_FALSE(converter.Design(15361, 44100, 22050, 160, 0));
    // More taps per phase than the history holds.
    EXPECT_FALSE(converter.Design(2000, 44100, 22050, 1, 1));
    EXPECT_EQ(converter.GetUp(), 511);

    CFsConverter wide(12, CFsConverter::kModeScalar);
    EXPECT_EQ(wide.GetChannels(), 8);
    CFsConverter undesigned(2, CFsConverter::kModeScalar);
    const Stereo input = RandomStereo(100, 1);
    EXPECT_TRUE(Convert(undesigned, input, {100}).left.empty());
}

TEST(FsConverter, FrameCountsFollowTheRatio) {
    CFsConverter converter(2, CFsConverter::BestMode());
    Design48k(converter);
    const Stereo second = RandomStereo(44100, 2);
    EXPECT_EQ(Convert(converter, second, {44100}).left.size(), 48000u);
    converter.Reset();
    EXPECT_EQ(Convert(converter, RandomStereo(147, 3), {147}).left.size(), 160u);
    converter.Reset();
    EXPECT_EQ(Convert(converter, RandomStereo(1, 3), {1}).left.size(), 2u);
}

TEST(FsConverter, BlockwiseProcessEqualsOneShot) {
    const Stereo input = RandomStereo(20000, 4);
    CFsConverter whole(2, CFsConverter::kModeScalar);
    Design48k(whole);
    const Stereo expected = Convert(whole, input, {20000});
    CFsConverter pieces(2, CFsConverter::kModeScalar);
    Design48k(pieces);
    const Stereo got = Convert(pieces, input, {1, 7, 146, 147, 148, 1000, 3, 4096});
    EXPECT_EQ(got.left, expected.left);
    EXPECT_EQ(got.right, expected.right);
}

// Every vector path computes the scalar reference's sums in the same order: the same bits.
TEST(FsConverter, VectorPathsMatchTheScalarPathBitForBit) {
    const Stereo input = RandomStereo(30000, 5);
    CFsConverter scalar(2, CFsConverter::kModeScalar);
    Design48k(scalar);
    const Stereo reference = Convert(scalar, input, {30000});
    for (int mode : {int(CFsConverter::kModeSse2), int(CFsConverter::kModeAvx2)}) {
        if (!CFsConverter::IsModeSupported(mode)) {
            continue;
        }
        for (int channels : {1, 2}) {
            CFsConverter vector(channels, mode);
            ASSERT_EQ(vector.GetMode(), mode);
            Design48k(vector);
            const Stereo got = Convert(vector, input, {4096, 333});
            ASSERT_EQ(got.left.size(), reference.left.size());
            for (size_t i = 0; i < got.left.size(); ++i) {
                ASSERT_EQ(Bits(got.left[i]), Bits(reference.left[i])) << "mode " << mode;
                if (channels == 2) {
                    ASSERT_EQ(Bits(got.right[i]), Bits(reference.right[i])) << "mode " << mode;
                }
            }
        }
    }
}

// Other designs take the other kernel shapes: short phases (coefficients in registers), long
// phases (from memory), down-sampling, and an odd channel count.
TEST(FsConverter, VectorPathsMatchTheScalarPathBitForBitForOtherDesigns) {
    struct Design {
        int length, rate, cutoff, up, down;
    };
    const Design designs[] = {
        {64, 8000, 3000, 3, 2}, {2000, 8000, 3500, 10, 7}, {301, 48000, 20000, 2, 5}};
    std::mt19937 rng(8);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<std::vector<float>> input(3, std::vector<float>(5000));
    for (auto& channel : input) {
        for (float& x : channel) {
            x = dist(rng);
        }
    }
    const float* in[3] = {input[0].data(), input[1].data(), input[2].data()};
    for (const Design& d : designs) {
        std::vector<std::vector<float>> expected(3);
        for (int mode = CFsConverter::kModeScalar; mode <= CFsConverter::kModeAvx2; ++mode) {
            if (!CFsConverter::IsModeSupported(mode)) {
                continue;
            }
            CFsConverter converter(3, mode);
            ASSERT_TRUE(converter.Design(d.length, d.rate, d.cutoff, d.up, d.down));
            std::vector<std::vector<float>> out(
                3, std::vector<float>(static_cast<size_t>(converter.MaxOutputFrames(5000))));
            float* outs[3] = {out[0].data(), out[1].data(), out[2].data()};
            const int made = converter.Process(in, outs, 5000);
            EXPECT_NEAR(made, 5000.0 * d.up / d.down, 1.0);
            for (auto& channel : out) {
                channel.resize(static_cast<size_t>(made));
            }
            if (mode == CFsConverter::kModeScalar) {
                expected = out;
                continue;
            }
            for (size_t c = 0; c < 3; ++c) {
                ASSERT_EQ(out[c].size(), expected[c].size());
                for (size_t i = 0; i < out[c].size(); ++i) {
                    ASSERT_EQ(Bits(out[c][i]), Bits(expected[c][i]))
                        << "mode " << mode << " length " << d.length << " channel " << c;
                }
            }
        }
    }
}

// A 1 kHz tone keeps its frequency and level; the output is delayed by half the filter.
TEST(FsConverter, SineKeepsFrequencyAndLevel) {
    constexpr int kFrames = 44100;
    Stereo input;
    for (int i = 0; i < kFrames; ++i) {
        const auto x =
            static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / 44100));
        input.left.push_back(x);
        input.right.push_back(-x);
    }
    CFsConverter converter(2, CFsConverter::BestMode());
    Design48k(converter);
    const Stereo out = Convert(converter, input, {32768});
    ASSERT_EQ(out.left.size(), 48000u);

    // Magnitude spectrum by direct DFT over a whole number of periods after the start-up.
    const int begin = 1000;
    const int length = 48000 - 2000;
    auto magnitude = [&](double hz) {
        double re = 0.0;
        double im = 0.0;
        for (int n = 0; n < length; ++n) {
            const double phase = 2.0 * std::numbers::pi * hz * n / 48000.0;
            re += out.left[static_cast<size_t>(begin + n)] * std::cos(phase);
            im -= out.left[static_cast<size_t>(begin + n)] * std::sin(phase);
        }
        return 2.0 * std::hypot(re, im) / length;
    };
    const double at1k = magnitude(1000.0);
    EXPECT_NEAR(at1k, 0.5, 0.005);
    for (double hz : {900.0, 980.0, 1020.0, 1088.4, 1100.0}) {
        EXPECT_LT(magnitude(hz), at1k / 10) << hz;
    }
    // Delay: 7680 up-sampled samples = 52.24 output frames; the two channels stay opposite.
    const double expectedDelay = 7680.0 / 147.0;
    const int n = 2000;
    const double shifted =
        0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * (n - expectedDelay) / 48000.0);
    EXPECT_NEAR(out.left[n], shifted, 0.002);
    EXPECT_FLOAT_EQ(out.right[n], -out.left[n]);
}

// The 16-bit stereo fast paths of the driver give exactly what the per-sample rules give.
TEST(FsConverterPcm, StereoFastPathsMatchThePerSampleRules) {
    std::mt19937 rng(6);
    std::uniform_int_distribution<int> pcmDist(-32768, 32767);
    std::uniform_real_distribution<float> floatDist(-1.2f, 1.2f);
    constexpr int kFrames = 1003;
    std::vector<uint8_t> pcm(4 * kFrames);
    for (auto& byte : pcm) {
        byte = static_cast<uint8_t>(pcmDist(rng));
    }
    std::vector<float> left(kFrames);
    std::vector<float> right(kFrames);
    fsconv::Pcm16StereoToFloat(pcm.data(), kFrames, 32767.0f, left.data(), right.data());
    for (int i = 0; i < kFrames; ++i) {
        const auto l = static_cast<int16_t>(pcm[4 * i] | (pcm[4 * i + 1] << 8));
        const auto r = static_cast<int16_t>(pcm[4 * i + 2] | (pcm[4 * i + 3] << 8));
        ASSERT_EQ(left[static_cast<size_t>(i)], static_cast<float>(l) / 32767.0f);
        ASSERT_EQ(right[static_cast<size_t>(i)], static_cast<float>(r) / 32767.0f);
    }

    for (int i = 0; i < kFrames; ++i) {
        left[static_cast<size_t>(i)] = floatDist(rng);
        right[static_cast<size_t>(i)] = floatDist(rng);
    }
    left[0] = 1.0f;
    left[1] = -1.0f;
    left[2] = 0.99999f;
    left[3] = -0.5f / 32767.0f;
    std::vector<uint8_t> out(4 * kFrames);
    fsconv::FloatToPcm16Stereo(left.data(), right.data(), kFrames, 32767.0f, 32767, out.data());
    for (int i = 0; i < kFrames; ++i) {
        const auto l = static_cast<int16_t>(out[4 * i] | (out[4 * i + 1] << 8));
        const auto r = static_cast<int16_t>(out[4 * i + 2] | (out[4 * i + 3] << 8));
        ASSERT_EQ(l, fsconv::ClipToPcm(32767.0f * left[static_cast<size_t>(i)], 32767)) << i;
        ASSERT_EQ(r, fsconv::ClipToPcm(32767.0f * right[static_cast<size_t>(i)], 32767)) << i;
    }
    EXPECT_EQ(fsconv::ClipToPcm(40000.0f, 32767), 32767);
    EXPECT_EQ(fsconv::ClipToPcm(-40000.0f, 32767), -32767);
    EXPECT_EQ(fsconv::ClipToPcm(-1.9f, 32767), -1);
    EXPECT_EQ(fsconv::ClipToPcm(1.9f, 32767), 1);
}
