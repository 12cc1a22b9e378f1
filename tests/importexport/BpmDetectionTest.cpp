#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "audio/TarnBpmDetection.h"
#include "audio/TarnExtendedFloat.h"

namespace {

TEST(BpmGuess, TakesTheFirstBeatCountInTheWindow) {
    // 0.75 s: 1 beat is 80 BPM (too slow), 2 beats 160 BPM.
    auto guess = tarn::GuessBpm(36000, 48000);
    ASSERT_TRUE(guess);
    EXPECT_FLOAT_EQ(guess->bpm, 160.0f);
    EXPECT_FLOAT_EQ(guess->beats, 2.0f);
}

TEST(BpmGuess, LongLoopsAreHalvedAndShortOnesRetriedHigher) {
    // 40 s is too long even for 16 beats (24 BPM): halved twice, 10 s gives 96 BPM.
    auto guess = tarn::GuessBpm(1920000, 48000);
    ASSERT_TRUE(guess);
    EXPECT_FLOAT_EQ(guess->bpm, 96.0f);
    EXPECT_FLOAT_EQ(guess->beats, 16.0f);
    // 12 ms: 1/16 beat is 312.5 BPM, too fast for both windows.
    EXPECT_FALSE(tarn::GuessBpm(576, 48000));
    // 0.01 s: 375 BPM at 1/16 beat.
    EXPECT_FALSE(tarn::GuessBpm(480, 48000));
    // 0.02 s: 1/16 beat is 187.5 BPM, rejected by [90, 180) but accepted by [150, 300).
    guess = tarn::GuessBpm(960, 48000);
    ASSERT_TRUE(guess);
    EXPECT_FLOAT_EQ(guess->bpm, 187.5f);
    EXPECT_FLOAT_EQ(guess->beats, 1.0f / 16);
    EXPECT_FALSE(tarn::GuessBpm(0, 48000));
    EXPECT_FALSE(tarn::GuessBpm(1000, 0));
    // A huge count still ends.
    EXPECT_TRUE(tarn::GuessBpm(INT64_MAX, 48000));
}

TEST(Extended80, ReadsAndWritesTheAiffRates) {
    // 48000 and 44100 as sox writes them.
    const uint8_t r48000[10] = {0x40, 0x0E, 0xBB, 0x80, 0, 0, 0, 0, 0, 0};
    const uint8_t r44100[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(tarn::ReadExtended80(r48000), 48000.0);
    EXPECT_EQ(tarn::ReadExtended80(r44100), 44100.0);
    uint8_t out[10];
    tarn::WriteExtended80(out, 48000.0);
    EXPECT_EQ(0, memcmp(out, r48000, 10));
    tarn::WriteExtended80(out, 44100.0);
    EXPECT_EQ(0, memcmp(out, r44100, 10));
    tarn::WriteExtended80(out, -0.5);
    EXPECT_EQ(tarn::ReadExtended80(out), -0.5);
    // Infinity (exponent all ones) and zero read as 0.
    const uint8_t inf[10] = {0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0};
    const uint8_t zero[10] = {};
    EXPECT_EQ(tarn::ReadExtended80(inf), 0.0);
    EXPECT_EQ(tarn::ReadExtended80(zero), 0.0);
}

} // namespace
