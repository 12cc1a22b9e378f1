#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/CEfAudioData.h"

namespace {

CEfAudioData MakeBuffer(int channels, int bits, int frames) {
    CEfAudioData audio;
    audio.SetChannels(channels, false);
    audio.SetBitsPerSample(bits, false);
    audio.SetFrameCount(frames, false);
    audio.Reallocate();
    return audio;
}

} // namespace

TEST(AudioData, DefaultsAndMaximumPerWidth) {
    CEfAudioData audio;
    EXPECT_EQ(audio.GetChannels(), 2);
    EXPECT_EQ(audio.GetSamplingRate(), 44100);
    EXPECT_EQ(audio.GetBitsPerSample(), 16);
    EXPECT_EQ(audio.GetBytesPerFrame(), 4);
    EXPECT_EQ(audio.GetFrameCount(), 0);
    EXPECT_FALSE(audio.HasData());
    EXPECT_EQ(audio.GetDataSize(), 0);
    EXPECT_EQ(audio.GetMaxSampleValue(), 32767);
    audio.SetBitsPerSample(8, false);
    EXPECT_EQ(audio.GetMaxSampleValue(), 127);
    audio.SetBitsPerSample(24, false);
    EXPECT_EQ(audio.GetMaxSampleValue(), 8388607);
    audio.SetBitsPerSample(32, false);
    EXPECT_EQ(audio.GetMaxSampleValue(), 2147483647);
    EXPECT_EQ(audio.GetBytesPerFrame(), 8);
}

// Each width: values at the extremes round-trip and land in memory as little-endian bytes.
TEST(AudioData, CodingRoundTripsAndByteLayout) {
    struct Case {
        int bits;
        std::vector<int32_t> values;
    };
    const std::vector<Case> cases = {
        {8, {-128, -1, 0, 1, 127}},
        {16, {-32768, -1, 0, 1, 32767}},
        {24, {-8388608, -65536, -1, 0, 1, 8388607}},
        {32, {INT32_MIN, -1, 0, 1, INT32_MAX}},
    };
    for (const Case& c : cases) {
        CEfAudioData audio = MakeBuffer(2, c.bits, static_cast<int>(c.values.size()));
        for (size_t i = 0; i < c.values.size(); ++i) {
            audio.SetSample(static_cast<int>(i), 1, c.values[i]);
        }
        for (size_t i = 0; i < c.values.size(); ++i) {
            EXPECT_EQ(audio.GetSample(static_cast<int>(i), 1), c.values[i]) << c.bits << " bits";
            EXPECT_EQ(audio.GetSample(static_cast<int>(i), 0), c.bits == 8 ? -128 : 0);
        }
    }
    CEfAudioData eight = MakeBuffer(1, 8, 2);
    eight.SetSample(0, 0, 0);
    eight.SetSample(1, 0, -128);
    EXPECT_EQ(eight.GetData()[0], 0x80);
    EXPECT_EQ(eight.GetData()[1], 0x00);

    CEfAudioData wide = MakeBuffer(2, 24, 1);
    wide.SetSample(0, 1, -2);
    const uint8_t* bytes = wide.GetData();
    EXPECT_EQ(bytes[3], 0xFE);
    EXPECT_EQ(bytes[4], 0xFF);
    EXPECT_EQ(bytes[5], 0xFF);
    wide.GetData()[3] = 0x00;
    wide.GetData()[4] = 0x00;
    wide.GetData()[5] = 0x80;
    EXPECT_EQ(wide.GetSample(0, 1), -8388608);
}

TEST(AudioData, WritesStoreLowBytesWithoutClipping) {
    CEfAudioData audio = MakeBuffer(1, 16, 1);
    audio.SetSample(0, 0, 70000);
    EXPECT_EQ(audio.GetSample(0, 0), 70000 - 65536);
    audio.SetSample(0, 0, -32769);
    EXPECT_EQ(audio.GetSample(0, 0), 32767);
    audio.SetBitsPerSample(24, true);
    audio.SetFrameCount(1, true);
    audio.SetSample(0, 0, 0x01800000);
    EXPECT_EQ(audio.GetSample(0, 0), -8388608);
}

TEST(AudioData, OutOfRangeAndUncodedAccessDoNothing) {
    CEfAudioData audio = MakeBuffer(2, 16, 3);
    audio.SetSample(2, 1, 1234);
    EXPECT_EQ(audio.GetSample(2, 1), 1234);
    EXPECT_EQ(audio.GetSample(3, 0), 0);
    EXPECT_EQ(audio.GetSample(-1, 0), 0);
    EXPECT_EQ(audio.GetSample(0, 2), 0);
    audio.SetSample(3, 0, 1);
    audio.SetSample(0, -1, 1);
    EXPECT_EQ(audio.GetSample(0, 0), 0);

    CEfAudioData empty;
    empty.SetFrameCount(10, false);
    EXPECT_EQ(empty.GetSample(0, 0), 0);
    empty.SetSample(0, 0, 5);
    EXPECT_FALSE(empty.HasData());

    CEfAudioData uncoded = MakeBuffer(1, 40, 2);
    EXPECT_EQ(uncoded.GetBytesPerFrame(), 5);
    uncoded.SetSample(0, 0, 77);
    EXPECT_EQ(uncoded.GetSample(0, 0), 0);
}

TEST(AudioData, FormatSettersRefuseBadValuesAndOtherwiseDropTheAudio) {
    CEfAudioData audio = MakeBuffer(2, 16, 4);
    audio.SetSample(0, 0, 99);
    EXPECT_FALSE(audio.SetChannels(3, true));
    EXPECT_FALSE(audio.SetChannels(0, true));
    EXPECT_FALSE(audio.SetBitsPerSample(12, true));
    EXPECT_FALSE(audio.SetBitsPerSample(0, true));
    EXPECT_EQ(audio.GetSample(0, 0), 99);
    EXPECT_EQ(audio.GetChannels(), 2);
    EXPECT_EQ(audio.GetBitsPerSample(), 16);

    EXPECT_TRUE(audio.SetSamplingRate(48000, false));
    EXPECT_FALSE(audio.HasData());
    EXPECT_TRUE(audio.SetChannels(1, true));
    EXPECT_EQ(audio.GetBytesPerFrame(), 2);
    EXPECT_EQ(audio.GetDataSize(), 8);
}

TEST(AudioData, ReallocateKeepsLeadingAudioAndZeroFillsGrowth) {
    CEfAudioData audio = MakeBuffer(2, 16, 2);
    audio.SetSample(1, 1, -5);
    ASSERT_TRUE(audio.Resize(5));
    EXPECT_EQ(audio.GetDataSize(), 20);
    EXPECT_EQ(audio.GetSample(1, 1), -5);
    EXPECT_EQ(audio.GetSample(4, 1), 0);
    ASSERT_TRUE(audio.Resize(1));
    EXPECT_EQ(audio.GetSample(1, 1), 0);
    EXPECT_TRUE(audio.Resize(0));
    EXPECT_FALSE(audio.HasData());
    EXPECT_TRUE(audio.Resize(-3));
    EXPECT_EQ(audio.GetFrameCount(), 0);

    // A size beyond a signed 32-bit byte count is refused instead of wrapping.
    CEfAudioData huge;
    huge.SetBitsPerSample(32, false);
    huge.SetFrameCount(INT32_MAX / 4, false);
    EXPECT_FALSE(huge.Reallocate());
    EXPECT_FALSE(huge.HasData());
}

TEST(AudioData, AssignCopiesAndMoveEmptiesTheSource) {
    CEfAudioData source = MakeBuffer(1, 24, 3);
    source.SetSamplingRate(22050, false);
    source.Reallocate();
    source.SetSample(2, 0, -77);
    CEfAudioData copy = MakeBuffer(2, 16, 10);
    ASSERT_TRUE(copy.Assign(source));
    EXPECT_EQ(copy.GetChannels(), 1);
    EXPECT_EQ(copy.GetSamplingRate(), 22050);
    EXPECT_EQ(copy.GetBitsPerSample(), 24);
    EXPECT_EQ(copy.GetFrameCount(), 3);
    EXPECT_EQ(copy.GetSample(2, 0), -77);
    copy.SetSample(2, 0, 1);
    EXPECT_EQ(source.GetSample(2, 0), -77);

    CEfAudioData moved(std::move(source));
    EXPECT_EQ(moved.GetSample(2, 0), -77);
    EXPECT_FALSE(source.HasData());
    EXPECT_EQ(source.GetFrameCount(), 0);
    EXPECT_EQ(source.GetSample(0, 0), 0);
}
