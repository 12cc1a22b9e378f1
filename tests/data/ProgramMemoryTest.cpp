#include <gtest/gtest.h>

#include "DataFileHelpers.h"
#include "data/CTarnProgramMemorySet.h"
#include "data/TarnProgramCategory.h"
#include "support/RecordingTraceSink.h"

namespace {

using P = CTarnProgramMemoryData;

std::vector<uint8_t> Image(const P& m) {
    return {m.GetNativeData(), m.GetNativeData() + P::kImageSize};
}

// Memory i gets distinct bytes everywhere, including the bytes no parameter reaches.
void Scramble(CTarnProgramMemorySet& set) {
    for (int i = 0; i < 8; ++i) {
        uint8_t image[P::kImageSize];
        for (int b = 0; b < P::kImageSize; ++b) {
            image[b] = static_cast<uint8_t>(i * 31 + b * 3 + 1);
        }
        set.Memory(i)->SetNativeData(image);
    }
}

} // namespace

TEST(ProgramMemory, DefaultsOfTheSet) {
    CTarnProgramMemorySet set;
    ASSERT_EQ(set.Count(), 8);
    const int firsts[] = {0, 40, 55, 95, 135, 165, 195, 235};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(set.Memory(i)->GetParameter(ParamAddress(P::kParamProgram)), firsts[i]);
    }
    const P& m = *set.Memory(3);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamScale)), 2);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamKey)), 12);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamNoteRange)), 0);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamValue1)), 0);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamValue2)), 0);
    EXPECT_EQ(m.GetNativeData()[8], 60);
    EXPECT_EQ(P().GetNativeData()[0], 235);
}

TEST(ProgramMemory, ParameterStorage) {
    P m;
    m.SetParameter(ParamAddress(P::kParamKey), 24);
    EXPECT_EQ(m.GetNativeData()[8], 72);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamKey)), 24);
    m.SetParameter(ParamAddress(P::kParamValue1), -1);
    EXPECT_EQ(m.GetNativeData()[2], 0xFF);
    EXPECT_EQ(m.GetNativeData()[3], 0xFF);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamValue1)), -1);
    m.SetParameter(ParamAddress(P::kParamValue2), 0x1234);
    EXPECT_EQ(m.GetNativeData()[4], 0x12);
    uint8_t image[P::kImageSize] = {};
    image[9] = 0xF8;
    m.SetNativeData(image);
    m.SetParameter(ParamAddress(P::kParamNoteRange), 9);
    EXPECT_EQ(m.GetNativeData()[9], 0xF9);
    EXPECT_EQ(m.GetParameter(ParamAddress(P::kParamNoteRange)), 1);
    const auto before = Image(m);
    m.SetParameter(ParamAddress(6), 5);
    EXPECT_EQ(Image(m), before);
    EXPECT_EQ(m.GetParameter(ParamAddress(6)), 0);
}

TEST(ProgramMemory, Categories) {
    EXPECT_EQ(tarn::CategoryOf(0), 0);
    EXPECT_EQ(tarn::CategoryOf(39), 0);
    EXPECT_EQ(tarn::CategoryOf(40), 1);
    EXPECT_EQ(tarn::CategoryOf(234), 6);
    EXPECT_EQ(tarn::CategoryOf(235), 7);
    EXPECT_EQ(tarn::CategoryOf(249), 7);
    EXPECT_EQ(tarn::CategoryOf(250), 8);
    EXPECT_EQ(tarn::CategoryOf(137), 4);
    EXPECT_EQ(tarn::IndexInCategory(56), 1);
    EXPECT_EQ(tarn::IndexInCategory(137), 2);
    EXPECT_EQ(tarn::IndexInCategory(250), 0);
    EXPECT_EQ(tarn::ProgramCountOf(1), 15);
    EXPECT_EQ(tarn::ProgramCountOf(8), 0);
    EXPECT_EQ(tarn::ProgramCountOf(-1), 0);
    int total = 0;
    for (int c = 0; c < tarn::kCategoryCount; ++c) {
        total += tarn::ProgramCountOf(c);
    }
    EXPECT_EQ(total, tarn::kProgramCount);
}

TEST(ProgramMemory, BlockCopyBetweenMemories) {
    CTarnProgramMemorySet set;
    Scramble(set);
    std::vector<uint8_t> block(40, 0xEE);
    EXPECT_FALSE(set.Memory(2)->GetBlockData(block.data(), 39, 2));
    ASSERT_TRUE(set.Memory(2)->GetBlockData(block.data(), 40, 2));
    EXPECT_EQ(std::string(block.begin(), block.begin() + 4), "PPXT");
    EXPECT_EQ(block[4], 2);
    EXPECT_EQ(block[38], 0xEE);
    EXPECT_EQ(set.Memory(5)->SourceIndexOf(block.data(), 40), 2);
    EXPECT_FALSE(set.Memory(5)->SetBlockData(block.data(), 39));
    ASSERT_TRUE(set.Memory(5)->SetBlockData(block.data(), 40));
    EXPECT_EQ(Image(*set.Memory(5)), Image(*set.Memory(2)));
    // The two-argument form of the base class stays refused.
    EXPECT_FALSE(set.Memory(5)->GetBlockData(block.data(), 40));
    block[0] = 'X';
    EXPECT_FALSE(set.Memory(4)->IsBlockDataValid(block.data(), 40));
}

TEST(ProgramMemory, SetCopyAndReset) {
    CTarnProgramMemorySet a;
    Scramble(a);
    CTarnProgramMemorySet b;
    b.Initialize();
    EXPECT_EQ(b.Count(), 0);
    b.SetDefaults();
    ASSERT_TRUE(b.CopyFrom(&a));
    ASSERT_EQ(b.Count(), 8);
    EXPECT_EQ(Image(*b.Memory(7)), Image(*a.Memory(7)));
    b.Reset();
    EXPECT_EQ(b.Memory(1)->GetParameter(ParamAddress(P::kParamProgram)), 40);
    // Defaults touch only the four parameters; the other bytes stay.
    EXPECT_EQ(b.Memory(1)->GetNativeData()[1], a.Memory(1)->GetNativeData()[1]);

    // Copying a set onto itself keeps every memory (clearing first would lose them all).
    const std::vector<uint8_t> seventh = Image(*a.Memory(7));
    EXPECT_TRUE(a.CopyFrom(&a));
    ASSERT_EQ(a.Count(), 8);
    EXPECT_EQ(Image(*a.Memory(7)), seventh);
}

TEST(ProgramMemory, FileIs8704BytesAndRoundTrips) {
    CTarnProgramMemorySet set;
    Scramble(set);
    const auto bytes = WrittenBytes([&](CHfcFile& f) { EXPECT_TRUE(set.SaveFile(f)); });
    ASSERT_EQ(bytes.size(), 8704u);
    EXPECT_EQ(set.GetFileSize(), 8704);
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[5], 8);
    EXPECT_EQ(bytes[6], 0);
    for (int i = 0; i < 8; ++i) {
        const size_t at = 512 + size_t(i) * 1024;
        EXPECT_EQ(std::string(bytes.begin() + at, bytes.begin() + at + 4), "PROG");
        EXPECT_EQ(bytes[at + 7], 30);
        EXPECT_EQ(bytes[at + 9], 2);
    }
    CTarnProgramMemorySet loaded;
    EXPECT_EQ(ReadCode(bytes, [&](CHfcFile& f) { return loaded.LoadFile(f); }), -1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Image(*loaded.Memory(i)), Image(*set.Memory(i)));
    }
}

TEST(ProgramMemory, BadFiles) {
    CTarnProgramMemorySet set;
    Scramble(set);
    const auto bytes = WrittenBytes([&](CHfcFile& f) { set.SaveFile(f); });
    CTarnProgramMemorySet target;
    auto load = [&](CHfcFile& f) { return target.LoadFile(f); };
    auto seven = bytes;
    seven[5] = 7;
    EXPECT_EQ(ReadCode(seven, load), CTarnFileException::kWrongFormat);
    EXPECT_EQ(target.Memory(0)->GetNativeData()[0], 0);

    RecordingTraceSink trace;
    auto corrupt = bytes;
    corrupt[512 + 3 * 1024 + 16 + 20] ^= 0x01;
    EXPECT_EQ(ReadCode(corrupt, load), CTarnFileException::kChecksum);
    EXPECT_TRUE(trace.Contains("ProgramMemorySet::LoadChunk Failed to read chunk."));
    EXPECT_EQ(Image(*target.Memory(2)), Image(*CTarnProgramMemorySet().Memory(2)));
    // The chunk walk itself keeps the memories read before the broken chunk.
    EXPECT_EQ(ReadCode(corrupt,
                       [&](CHfcFile& f) {
                           f.Seek(512, CHfcFile::kBegin);
                           return target.LoadChunk(f);
                       }),
              CTarnFileException::kChecksum);
    EXPECT_EQ(Image(*target.Memory(2)), Image(*set.Memory(2)));
    EXPECT_NE(Image(*target.Memory(3)), Image(*set.Memory(3)));

    ReadOnlyFile ro;
    try {
        set.SaveFile(ro.File());
        FAIL() << "no exception";
    } catch (const CTarnFileException& e) {
        EXPECT_EQ(e.GetCode(), CTarnFileException::kWriteFailed);
    }
}
