#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "data/CTarnSampleData.h"
#include "data/CTarnSampleSet.h"
#include "support/RecordingTraceSink.h"

namespace {

// A 48 kHz bank with loaded frames of seeded random audio.
void FillRandom(CTarnSampleData& bank, int frames, unsigned seed) {
    bank.Initialize();
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    for (int f = 0; f < frames; ++f) {
        bank.SetSample(f, 0, dist(rng));
        bank.SetSample(f, 1, dist(rng));
    }
    bank.SetLoadedFrames(frames);
}

std::vector<uint8_t> Header(const CTarnSampleData& bank) {
    std::vector<uint8_t> h(CTarnSampleData::kNativeHeaderSize);
    bank.GetNativeHeader(h.data());
    return h;
}

std::vector<uint8_t> NativeData(const CTarnSampleData& bank) {
    std::vector<uint8_t> d(static_cast<size_t>(bank.GetNativeDataSize()));
    EXPECT_TRUE(bank.GetNativeData(d.data(), static_cast<int>(d.size())));
    return d;
}

std::vector<uint8_t> Block(const CTarnSampleData& bank, int index) {
    std::vector<uint8_t> b(static_cast<size_t>(bank.GetBlockDataSize()));
    EXPECT_TRUE(bank.GetBlockData(b.data(), static_cast<int>(b.size()), index));
    return b;
}

} // namespace

TEST(SampleData, ConstructionInitializeAndDefaults) {
    CTarnSampleData bank;
    EXPECT_EQ(bank.GetSamplingRate(), 44100);
    EXPECT_FALSE(bank.HasData());
    bank.Initialize();
    EXPECT_EQ(bank.GetSamplingRate(), 48000);
    EXPECT_EQ(bank.GetChannels(), 2);
    EXPECT_EQ(bank.GetBitsPerSample(), 16);
    EXPECT_EQ(bank.GetFrameCount(), MaxSampleFrames);
    EXPECT_EQ(bank.GetDataSize(), MaxSampleFrames * 4);
    EXPECT_DOUBLE_EQ(bank.GetTempo(), 120.0);
    EXPECT_EQ(bank.GetLoopFlag(), 1);
    EXPECT_EQ(bank.GetPhraseLength(), 7);
    EXPECT_EQ(bank.GetPlayLength(), 7);
    EXPECT_EQ(bank.GetPlayLevel(), 127);
    EXPECT_EQ(bank.GetLoadedFrames(), 0);
    EXPECT_EQ(bank.GetEndFrame(), 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(bank.GetSliceFlag(i), 1);
    }
    EXPECT_EQ(bank.GetBlockTag(), ef::FourCC("TXPS"));
    EXPECT_EQ(bank.GetParameter(ParamAddress(0, 0)), 0);

    CTarnSampleSet set;
    ASSERT_EQ(set.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(set.At(i)->GetSamplingRate(), 48000);
        EXPECT_EQ(set.At(i)->GetDataSize(), MaxSampleFrames * 4);
    }
    EXPECT_EQ(set.At(4), nullptr);
}

TEST(SampleData, PhraseFramesAndNativeSizes) {
    CTarnSampleData bank;
    bank.Initialize();
    EXPECT_EQ(bank.PhraseFrames(), 0);
    EXPECT_EQ(bank.GetNumSamples(), 0);
    EXPECT_EQ(bank.GetNativeDataSize(), 4);
    EXPECT_EQ(bank.GetChunkSize(), 512);
    EXPECT_EQ(bank.GetFileSize(), 1024);
    bank.SetLoadedFrames(1000);
    EXPECT_EQ(bank.PhraseFrames(), 192000);
    EXPECT_EQ(bank.GetNumSamples(), 196608000);
    EXPECT_EQ(bank.GetNativeDataSize(), 768004);
    EXPECT_EQ(bank.GetChunkSize(), (768004 + 32 + 511) / 512 * 512);
    bank.SetTempo(123.4);
    bank.SetPhraseLength(4);
    EXPECT_EQ(bank.PhraseFrames(), 23339);
    bank.SetPhraseLength(0);
    EXPECT_EQ(bank.PhraseFrames(), 23339 >> 4);
    bank.SetPhraseLength(8);
    EXPECT_EQ(bank.PhraseFrames(), 23339 << 4);
}

TEST(SampleData, HeaderPacking) {
    CTarnSampleData bank;
    bank.Initialize();
    bank.SetLoadedFrames(74565);
    bank.SetPlayLength(3);
    bank.SetPlayLevel(100);
    const std::vector<uint8_t> h = Header(bank);
    const std::vector<uint8_t> expected = {
        0x00, 0x00, 0x00, 0x00, // zero
        0x0B, 0xB8, 0x00, 0x00, // NumSamples = 192000 << 10
        0x04, 0xB0,             // tempo 120.0 x 10
        0x23, 0x45,             // loaded frames bits 8-15, 0-7
        0x37,                   // play length 3, phrase length 7
        0x01,                   // loaded frames bits 16-23
        0xFF,                   // fixed
        0x64,                   // play level
    };
    EXPECT_EQ(h, expected);
    bank.SetTempo(99.95);
    EXPECT_EQ(Header(bank)[8], 0x03);
    EXPECT_EQ(Header(bank)[9], 0xE7); // 999: (99.95 + 0.0001) x 10 truncated
}

TEST(SampleData, TempoAndLengthClamps) {
    CTarnSampleData bank;
    bank.Initialize();
    bank.SetPhraseLength(8);
    EXPECT_EQ(bank.GetPhraseLength(), 8);
    bank.SetTempo(100.0);
    EXPECT_EQ(bank.GetPhraseLength(), 7);
    bank.SetTempo(200.0);
    bank.SetPhraseLength(8);
    bank.SetTempo(25.0);
    EXPECT_EQ(bank.GetPhraseLength(), 5);
    bank.SetTempo(0.0);
    bank.SetTempo(-5.0);
    EXPECT_DOUBLE_EQ(bank.GetTempo(), 25.0);
    bank.SetTempo(400.0);
    EXPECT_DOUBLE_EQ(bank.GetTempo(), 300.0);
    bank.SetTempo(10.0);
    EXPECT_DOUBLE_EQ(bank.GetTempo(), 20.0);
    bank.SetTempo(54.3);
    bank.SetPhraseLength(8);
    EXPECT_EQ(bank.GetPhraseLength(), 7); // 54.3 is not below the single-precision 54.3
    bank.SetTempo(54.29);
    EXPECT_EQ(bank.GetPhraseLength(), 6);

    // Play range: 8 beats at 20 bpm would exceed the buffer; 2 beats give 288000 frames.
    bank.SetTempo(20.0);
    bank.SetPhraseLength(5);
    EXPECT_EQ(bank.GetEndFrame(), 288000);
    EXPECT_EQ(bank.GetPlayFrames(), 288000);
    bank.SetTempo(300.0);
    bank.SetPhraseLength(8);
    EXPECT_EQ(bank.GetEndFrame(), 153600);
}

TEST(SampleData, EverySetterClampsOrIgnores) {
    RecordingTraceSink trace;
    CTarnSampleData bank;
    bank.Initialize();
    bank.SetPhraseLength(9);
    bank.SetPhraseLength(-1);
    EXPECT_EQ(bank.GetPhraseLength(), 7);
    bank.SetPlayLength(9);
    bank.SetPlayLength(-1);
    EXPECT_EQ(bank.GetPlayLength(), 7);
    EXPECT_FALSE(bank.SetPhraseLengthBeats(3.0f));
    EXPECT_TRUE(bank.SetPhraseLengthBeats(0.0625f));
    EXPECT_EQ(bank.GetPhraseLength(), 0);
    EXPECT_TRUE(bank.SetPlayLengthBeats(16.0f));
    EXPECT_EQ(bank.GetPlayLength(), 8);
    EXPECT_FLOAT_EQ(bank.GetPlayLengthBeats(), 16.0f);
    EXPECT_FLOAT_EQ(CTarnSampleData::LengthBeats(-3), 0.0625f);
    EXPECT_FLOAT_EQ(CTarnSampleData::LengthBeats(12), 16.0f);

    bank.SetPlayLevel(-5);
    EXPECT_EQ(bank.GetPlayLevel(), 0);
    bank.SetPlayLevel(200);
    EXPECT_EQ(bank.GetPlayLevel(), 127);

    bank.SetResetTrigger(1);
    bank.SetLoopFlag(2);
    bank.SetLoopFlag(-1);
    EXPECT_EQ(bank.GetLoopFlag(), 1);
    EXPECT_EQ(bank.GetResetTrigger(), 1);
    bank.SetLoopFlag(0);
    EXPECT_EQ(bank.GetLoopFlag(), 0);
    EXPECT_EQ(bank.GetResetTrigger(), 0);

    bank.SetSliceFlag(3, 0);
    EXPECT_EQ(bank.GetSliceFlag(3), 0);
    bank.SetSliceFlag(8, 0);
    bank.SetSliceFlag(-1, 0);
    EXPECT_EQ(bank.GetSliceFlag(8), 1);
    EXPECT_TRUE(trace.Contains("Slice number range over."));

    bank.SetLoadedFrames(MaxSampleFrames + 1);
    bank.SetLoadedFrames(-1);
    EXPECT_EQ(bank.GetLoadedFrames(), 0);
    bank.SetLoadedFrames(MaxSampleFrames);
    EXPECT_EQ(bank.GetLoadedBytes(), MaxSampleFrames * 4);
}

TEST(SampleData, NativeDataRoundTrip) {
    CTarnSampleData source;
    FillRandom(source, 30000, 7);
    source.SetTempo(133.3);
    source.SetPhraseLength(5);
    source.SetPlayLength(2);
    source.SetPlayLevel(90);
    const std::vector<uint8_t> header = Header(source);
    const std::vector<uint8_t> data = NativeData(source);
    const int phrase = source.PhraseFrames();
    ASSERT_EQ(data.size(), static_cast<size_t>(4 * (phrase + 1)));
    // Big-endian, channel 0 first.
    EXPECT_EQ(data[0], static_cast<uint8_t>(source.GetSample(0, 0) >> 8));
    EXPECT_EQ(data[1], static_cast<uint8_t>(source.GetSample(0, 0)));
    EXPECT_EQ(data[2], static_cast<uint8_t>(source.GetSample(0, 1) >> 8));
    EXPECT_EQ(std::vector<uint8_t>(data.end() - 4, data.end()), std::vector<uint8_t>(4, 0));
    std::vector<uint8_t> small(data.size() - 1);
    EXPECT_FALSE(source.GetNativeData(small.data(), static_cast<int>(small.size())));
    EXPECT_FALSE(source.GetNativeData(nullptr, 1 << 24));

    CTarnSampleData copy;
    ASSERT_TRUE(copy.SetNativeData(header.data(), data.data(), static_cast<int>(data.size())));
    EXPECT_DOUBLE_EQ(copy.GetTempo(), 133.3);
    EXPECT_EQ(copy.GetPhraseLength(), 5);
    EXPECT_EQ(copy.GetPlayLength(), 2);
    EXPECT_EQ(copy.GetPlayLevel(), 90);
    EXPECT_EQ(copy.GetLoadedFrames(), phrase);
    EXPECT_EQ(copy.GetSamplingRate(), 48000);
    for (int f = 0; f < phrase; ++f) {
        const int expected0 = f < 30000 ? source.GetSample(f, 0) : 0;
        ASSERT_EQ(copy.GetSample(f, 0), expected0) << f;
        ASSERT_EQ(copy.GetSample(f, 1), f < 30000 ? source.GetSample(f, 1) : 0) << f;
    }
    // Only the loaded frames differ: the copy holds exactly the phrase.
    std::vector<uint8_t> copied = Header(copy);
    std::vector<uint8_t> original = header;
    for (int i : {10, 11, 13}) {
        copied[static_cast<size_t>(i)] = original[static_cast<size_t>(i)] = 0;
    }
    EXPECT_EQ(copied, original);
    EXPECT_EQ(NativeData(copy), data);
}

TEST(SampleData, SetNativeDataEdgeCases) {
    RecordingTraceSink trace;
    CTarnSampleData bank;
    EXPECT_FALSE(bank.SetNativeData(nullptr, nullptr, 0));

    uint8_t header[16] = {0,    0,    0, 0, 0x00, 0x01, 0x90, 0x00,
                          0x04, 0xB0, 0, 0, 0x87, 0,    0xFF, 0xFF};
    // NumSamples asks for 100 frames; the data holds 10 and a half.
    std::vector<uint8_t> data(42, 0x11);
    ASSERT_TRUE(bank.SetNativeData(header, data.data(), static_cast<int>(data.size())));
    EXPECT_EQ(bank.GetLoadedFrames(), 10);
    EXPECT_EQ(bank.GetSample(9, 1), 0x1111);
    EXPECT_EQ(bank.GetSample(10, 0), 0);
    EXPECT_TRUE(trace.Contains("Data length is too short : 400 > 42"));
    EXPECT_EQ(bank.GetPhraseLength(), 7);
    EXPECT_EQ(bank.GetPlayLength(), 8);
    EXPECT_EQ(bank.GetPlayLevel(), 127);
    EXPECT_DOUBLE_EQ(bank.GetTempo(), 120.0);

    header[12] = 0x9A;
    header[8] = 0x03;
    header[9] = 0xE8;
    ASSERT_TRUE(bank.SetNativeData(header, data.data(), static_cast<int>(data.size())));
    EXPECT_EQ(bank.GetPhraseLength(), 7);
    EXPECT_EQ(bank.GetPlayLength(), 7);
    EXPECT_DOUBLE_EQ(bank.GetTempo(), 100.0);

    // No data: the header's settings are not applied.
    ASSERT_TRUE(bank.SetNativeData(header, nullptr, 0));
    EXPECT_DOUBLE_EQ(bank.GetTempo(), 120.0);
    EXPECT_EQ(bank.GetLoadedFrames(), 0);

    // A negative sample count gives an empty bank.
    const uint8_t negative[16] = {0, 0, 0, 0, 0x80, 0, 0, 0, 0x04, 0xB0, 0, 0, 0x77, 0, 0xFF, 0x7F};
    ASSERT_TRUE(bank.SetNativeData(negative, data.data(), static_cast<int>(data.size())));
    EXPECT_EQ(bank.GetLoadedFrames(), 0);

    // More frames than a bank holds: nothing is loaded and nothing is written past the buffer.
    const uint8_t huge[16] = {0, 0, 0, 0, 0x1A, 0, 0, 0, 0x04, 0xB0, 0, 0, 0x77, 0, 0xFF, 0x7F};
    std::vector<uint8_t> big(4 * (MaxSampleFrames + 200), 0x22);
    ASSERT_TRUE(bank.SetNativeData(huge, big.data(), static_cast<int>(big.size())));
    EXPECT_EQ(bank.GetLoadedFrames(), 0);
    EXPECT_EQ(bank.GetDataSize(), MaxSampleFrames * 4);
    EXPECT_TRUE(
        trace.Contains("Loaded Sample Frame Length is longer than max sample frame length."));
}

TEST(SampleData, BlockDataRoundTripAndRefusals) {
    CTarnSampleData source;
    FillRandom(source, 5000, 9);
    source.SetTempo(87.5);
    source.SetPhraseLength(3);
    source.SetPlayLength(6);
    source.SetPlayLevel(33);
    source.SetLoopFlag(0);
    source.SetSliceFlag(2, 0);
    source.SetGateTrigger(1);
    const std::vector<uint8_t> block = Block(source, 2);
    ASSERT_EQ(block.size(), static_cast<size_t>(112 + MaxSampleFrames * 4));
    EXPECT_EQ(std::memcmp(block.data(), "SPXT", 4), 0);
    EXPECT_EQ(ef::ReadLE32(block.data() + 4), 2u);
    EXPECT_EQ(ef::ReadLE32(block.data() + 12), 48000u);
    EXPECT_EQ(ef::ReadLE32(block.data() + 96), 5000u);
    EXPECT_EQ(ef::ReadLE32(block.data() + 104), static_cast<uint32_t>(MaxSampleFrames * 4));
    std::vector<uint8_t> tooSmall(block.size() - 1);
    EXPECT_FALSE(source.GetBlockData(tooSmall.data(), static_cast<int>(tooSmall.size()), 0));

    CTarnSampleData copy;
    copy.Initialize();
    ASSERT_TRUE(copy.SetBlockData(block.data(), static_cast<int>(block.size())));
    EXPECT_EQ(Block(copy, 2), block);
    EXPECT_EQ(copy.GetSliceFlag(2), 0);
    EXPECT_EQ(copy.GetGateTrigger(), 1);
    EXPECT_EQ(copy.GetLoopFlag(), 0);

    CTarnSampleData target;
    FillRandom(target, 100, 10);
    const std::vector<uint8_t> before = Block(target, 0);
    EXPECT_FALSE(target.SetBlockData(nullptr, 200));
    EXPECT_FALSE(target.SetBlockData(block.data(), 111));
    std::vector<uint8_t> reversed = block;
    std::memcpy(reversed.data(), "TXPS", 4);
    EXPECT_FALSE(target.SetBlockData(reversed.data(), static_cast<int>(reversed.size())));
    EXPECT_FALSE(target.IsBlockDataValid(reversed.data(), static_cast<int>(reversed.size())));
    std::vector<uint8_t> threeChannels = block;
    ef::WriteLE32(threeChannels.data() + 8, 3);
    EXPECT_FALSE(target.SetBlockData(threeChannels.data(), static_cast<int>(block.size())));
    std::vector<uint8_t> hugeCapacity = block;
    ef::WriteLE32(hugeCapacity.data() + 24, 0x7FFFFFFF);
    EXPECT_FALSE(target.SetBlockData(hugeCapacity.data(), static_cast<int>(block.size())));
    EXPECT_EQ(Block(target, 0), before);

    // A block announcing more audio than it carries copies only what is there.
    std::vector<uint8_t> cut(block.begin(), block.begin() + 112 + 400);
    ASSERT_TRUE(target.SetBlockData(cut.data(), static_cast<int>(cut.size())));
    EXPECT_EQ(target.GetSample(99, 1), source.GetSample(99, 1));
    EXPECT_EQ(target.GetSample(100, 0), 0);
    EXPECT_EQ(target.GetLoadedFrames(), 5000);

    // A small capacity with a negative loaded count leaves nothing loaded beyond the buffer.
    std::vector<uint8_t> small(block.begin(), block.begin() + 112 + 400);
    ef::WriteLE32(small.data() + 24, 100);
    ef::WriteLE32(small.data() + 96, 0xFFFFFFFF);
    ASSERT_TRUE(target.SetBlockData(small.data(), static_cast<int>(small.size())));
    EXPECT_EQ(target.GetFrameCount(), 100);
    EXPECT_EQ(target.GetLoadedFrames(), 0);
    EXPECT_LE(target.GetEndFrame(), 100);
}

TEST(SampleData, NormalizeScalesThePeakToFullScale) {
    CTarnSampleData bank;
    bank.Initialize();
    EXPECT_FALSE(bank.Normalize());
    bank.SetSample(0, 0, 1000);
    bank.SetSample(1, 1, -8000);
    bank.SetSample(2, 0, 3);
    bank.SetSample(10, 0, 20000); // beyond the loaded frames: neither peak nor scaled
    bank.SetLoadedFrames(3);
    ASSERT_TRUE(bank.Normalize());
    // Ratio and products are single precision (4.0958748 here); the product -32766.998 is
    // truncated, so this peak ends one step short.
    const float ratio = static_cast<float>(32767.0 / 8000.0);
    EXPECT_EQ(bank.GetSample(1, 1), -32766);
    EXPECT_EQ(bank.GetSample(0, 0), static_cast<int>(1000.0f * ratio));
    EXPECT_EQ(bank.GetSample(2, 0), 12);
    EXPECT_EQ(bank.GetSample(10, 0), 20000);

    bank.SetSample(0, 0, -32768);
    ASSERT_TRUE(bank.Normalize());
    EXPECT_EQ(bank.GetSample(0, 0), -32767);

    // A peak of 3: the single-precision product rounds to 32767, where a double one (32766.999)
    // would truncate a step short.
    bank.Initialize();
    bank.SetSample(0, 0, 3);
    bank.SetSample(1, 1, -3);
    bank.SetSample(2, 0, 1);
    bank.SetLoadedFrames(3);
    ASSERT_TRUE(bank.Normalize());
    EXPECT_EQ(bank.GetSample(0, 0), 32767);
    EXPECT_EQ(bank.GetSample(1, 1), -32767);
    EXPECT_EQ(bank.GetSample(2, 0), 10922);

    bank.SetSample(0, 0, 16384);
    bank.SetSample(1, 1, -8192);
    bank.SetSample(2, 0, 0);
    ASSERT_TRUE(bank.Normalize());
    EXPECT_EQ(bank.GetSample(0, 0), 32767);
    EXPECT_EQ(bank.GetSample(1, 1), -16383);
}

TEST(SampleData, CopiesAndSet) {
    CTarnSampleData source;
    FillRandom(source, 2000, 11);
    source.SetTempo(140.0);
    source.SetPlayLength(2);
    source.SetSliceFlag(7, 0);
    CTarnSampleData header;
    header.Initialize();
    ASSERT_TRUE(header.CopyHeaderFrom(&source));
    EXPECT_DOUBLE_EQ(header.GetTempo(), 140.0);
    EXPECT_EQ(header.GetPlayLength(), 7);
    EXPECT_EQ(header.GetSliceFlag(7), 0);
    EXPECT_EQ(header.GetSample(5, 0), 0);

    CTarnSampleSet set;
    set.At(1)->CopyFrom(&source);
    EXPECT_EQ(set.At(1)->GetPlayLength(), 2);
    EXPECT_EQ(set.At(1)->GetSample(5, 0), source.GetSample(5, 0));
    CTarnSampleSet other;
    other.CopyFrom(&set);
    ASSERT_EQ(other.Count(), 4);
    EXPECT_EQ(other.At(1)->GetSample(1999, 1), source.GetSample(1999, 1));
    EXPECT_EQ(other.At(0)->GetLoadedFrames(), 0);
    other.Reset();
    EXPECT_EQ(other.At(1)->GetLoadedFrames(), 0);
    EXPECT_EQ(other.Count(), 4);
    CTarnSampleData* inserted = other.InsertNew(0);
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(other.At(0), inserted);
    EXPECT_EQ(other.InsertNew(-1), nullptr);
}
