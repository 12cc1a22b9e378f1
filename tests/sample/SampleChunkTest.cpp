#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "data/CTarnFileException.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "support/TempDir.h"

namespace {

void FillRamp(CTarnSampleData& bank, int frames) {
    bank.Initialize();
    for (int f = 0; f < frames; ++f) {
        bank.SetSample(f, 0, (f * 7) % 65536 - 32768);
        bank.SetSample(f, 1, 32767 - (f * 3) % 65536);
    }
    bank.SetLoadedFrames(frames);
}

// Writes through the real file layer and returns the bytes on disk.
template <class Write> std::vector<uint8_t> WriteFile(const TempDir& dir, Write write) {
    const std::string path = dir.File("bank.t2s");
    CHfcFile file;
    EXPECT_TRUE(file.Open(path, CHfcFile::kWrite | CHfcFile::kBinary));
    write(file);
    file.Close();
    return TempDir::ReadAll(path);
}

template <class Read> int LoadFailureCode(const std::vector<uint8_t>& bytes, Read read) {
    CHfcFile file;
    EXPECT_TRUE(file.OpenMemory(bytes.data(), bytes.size()));
    try {
        read(file);
    } catch (const CTarnFileException& e) {
        return e.GetCode();
    }
    return -1;
}

} // namespace

TEST(SampleChunk, LayoutAndRoundTrip) {
    TempDir dir;
    CTarnSampleData bank;
    FillRamp(bank, 1000);
    bank.SetTempo(150.0);
    bank.SetPhraseLength(2);
    bank.SetPlayLevel(64);
    const int length = bank.GetNativeDataSize();
    ASSERT_EQ(length, 4 * (4800 + 1)); // a quarter beat at 150 bpm
    const std::vector<uint8_t> bytes = WriteFile(dir, [&](CHfcFile& f) { bank.SaveChunk(f); });
    ASSERT_EQ(bytes.size(), static_cast<size_t>(bank.GetChunkSize()));
    ASSERT_EQ(bytes.size() % 512, 0u);
    EXPECT_EQ(ef::ReadBE32(bytes.data()), ef::FourCC("SMPL"));
    EXPECT_EQ(ef::ReadBE32(bytes.data() + 4), static_cast<uint32_t>(length));
    EXPECT_EQ(ef::ReadBE16(bytes.data() + 8), bytes.size() / 512);
    EXPECT_EQ(ef::ReadBE16(bytes.data() + 10), 0xFFFF);
    EXPECT_EQ(ef::ReadBE32(bytes.data() + 12), 0xFFFFFFFFu);
    EXPECT_EQ(bytes[16 + 15], 64);
    for (size_t i = 32 + static_cast<size_t>(length); i < bytes.size(); ++i) {
        ASSERT_EQ(bytes[i], 0xFF) << i;
    }

    CTarnSampleData loaded;
    CHfcFile in;
    ASSERT_TRUE(in.OpenMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(loaded.LoadChunk(in));
    EXPECT_EQ(in.Tell(), static_cast<long long>(bytes.size()));
    EXPECT_DOUBLE_EQ(loaded.GetTempo(), 150.0);
    EXPECT_EQ(loaded.GetPhraseLength(), 2);
    EXPECT_EQ(loaded.GetPlayLevel(), 64);
    EXPECT_EQ(loaded.GetLoadedFrames(), 4800);
    for (int f = 0; f < 1000; f += 37) {
        EXPECT_EQ(loaded.GetSample(f, 0), bank.GetSample(f, 0));
        EXPECT_EQ(loaded.GetSample(f, 1), bank.GetSample(f, 1));
    }
}

TEST(SampleChunk, SampleFileRoundTripThroughTheFileLayer) {
    TempDir dir;
    CTarnSampleData bank;
    FillRamp(bank, 48000);
    const std::vector<uint8_t> bytes = WriteFile(dir, [&](CHfcFile& f) { bank.SaveFile(f); });
    ASSERT_EQ(bytes.size(), static_cast<size_t>(bank.GetFileSize()));
    EXPECT_EQ(ef::ReadBE32(bytes.data()), ef::FourCC("TXPF"));
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[5], 0);
    EXPECT_EQ(bytes[6], 1);
    EXPECT_EQ(ef::ReadBE32(bytes.data() + 8), bytes.size());
    EXPECT_EQ(ef::ReadBE32(bytes.data() + 512), ef::FourCC("SMPL"));

    CTarnSampleData loaded;
    CHfcFile in;
    ASSERT_TRUE(in.OpenMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(loaded.LoadFile(in));
    std::vector<uint8_t> a(static_cast<size_t>(bank.GetNativeDataSize()));
    std::vector<uint8_t> b(static_cast<size_t>(loaded.GetNativeDataSize()));
    ASSERT_EQ(a.size(), b.size());
    bank.GetNativeData(a.data(), static_cast<int>(a.size()));
    loaded.GetNativeData(b.data(), static_cast<int>(b.size()));
    EXPECT_EQ(a, b);
}

// A 44.1 kHz bank is converted before it is stored; the chunk then describes 48 kHz audio.
TEST(SampleChunk, SavingConvertsA441Bank) {
    TempDir dir;
    CTarnSampleData bank;
    bank.Initialize();
    bank.SetSamplingRate(44100, false);
    bank.SetFrameCount(MaxSampleFrames, false);
    bank.Reallocate();
    for (int f = 0; f < 44100; ++f) {
        bank.SetSample(f, 0, 5000);
        bank.SetSample(f, 1, -5000);
    }
    bank.SetLoadedFrames(44100);
    const std::vector<uint8_t> bytes = WriteFile(dir, [&](CHfcFile& f) { bank.SaveChunk(f); });
    EXPECT_EQ(bank.GetSamplingRate(), 48000);
    EXPECT_EQ(bank.GetLoadedFrames(), 48000);
    CTarnSampleData loaded;
    CHfcFile in;
    ASSERT_TRUE(in.OpenMemory(bytes.data(), bytes.size()));
    ASSERT_TRUE(loaded.LoadChunk(in));
    EXPECT_NEAR(loaded.GetSample(20000, 0), 5000, 1);
    EXPECT_NEAR(loaded.GetSample(20000, 1), -5000, 1);
}

TEST(SampleChunk, MalformedChunksAreRefused) {
    TempDir dir;
    CTarnSampleData bank;
    FillRamp(bank, 100);
    const std::vector<uint8_t> good = WriteFile(dir, [&](CHfcFile& f) { bank.SaveChunk(f); });
    auto load = [](CHfcFile& f) {
        CTarnSampleData target;
        target.LoadChunk(f);
    };

    std::vector<uint8_t> wrongId = good;
    wrongId[0] = 'G';
    EXPECT_EQ(LoadFailureCode(wrongId, load), CTarnFileException::kWrongFormat);

    // Cut inside the chunk header, inside the sample header and inside the data.
    for (size_t cut : {size_t{10}, size_t{20}, size_t{100}}) {
        const std::vector<uint8_t> shortFile(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_EQ(LoadFailureCode(shortFile, load), CTarnFileException::kReadFailed) << cut;
    }

    // A data length far beyond the file is a short read, not a huge allocation.
    std::vector<uint8_t> lying = good;
    ef::WriteBE32(lying.data() + 4, 0x7FFFFFF0u);
    EXPECT_EQ(LoadFailureCode(lying, load), CTarnFileException::kReadFailed);

    // A block count smaller than the chunk's own data.
    std::vector<uint8_t> fewBlocks = good;
    ef::WriteBE16(fewBlocks.data() + 8, 0);
    EXPECT_EQ(LoadFailureCode(fewBlocks, load), CTarnFileException::kWrongFormat);

    // A sample file without SMPL chunks.
    const std::vector<uint8_t> file = WriteFile(dir, [&](CHfcFile& f) { bank.SaveFile(f); });
    std::vector<uint8_t> noSample = file;
    noSample[6] = 0;
    EXPECT_EQ(LoadFailureCode(noSample, [](CHfcFile& f) { CTarnSampleData().LoadFile(f); }),
              CTarnFileException::kWrongFormat);
}
