#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "DataFileHelpers.h"
#include "data/CTarnAllData.h"
#include "data/CTarnDataManager.h"
#include "files/TarnChunk.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CEfUiServices.h"

namespace {

// Progress windows that record the text, the range and every position they were given.
class RecordingProgress : public CEfProgressFactory {
public:
    RecordingProgress() { CEfUiServices::SetProgress(this); }
    ~RecordingProgress() override { CEfUiServices::SetProgress(nullptr); }
    RecordingProgress(const RecordingProgress&) = delete;
    RecordingProgress& operator=(const RecordingProgress&) = delete;

    std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() override {
        ++opened;
        return std::make_unique<Dialog>(*this);
    }

    int opened = 0;
    int closed = 0;
    int total = 0;
    std::string text;
    std::vector<int> positions;

private:
    class Dialog : public CTarnProgressDialog {
    public:
        explicit Dialog(RecordingProgress& owner) : owner_(owner) {}
        ~Dialog() override { ++owner_.closed; }

    protected:
        void Refresh() override {
            owner_.total = Total();
            owner_.text = Text();
            if (owner_.positions.empty() || owner_.positions.back() != Position()) {
                owner_.positions.push_back(Position());
            }
        }

    private:
        RecordingProgress& owner_;
    };
};

// Offsets in an all-data file of four empty banks (each SMPL chunk one block).
constexpr size_t kGlob = 512;
constexpr size_t kProg = 1024;
constexpr size_t kSmpl = kProg + 8 * 1024;
constexpr size_t kCurrent = kSmpl + 4 * 512;
constexpr size_t kFileSize = kCurrent + 1024;

void Edit(CTarnAllData& data) {
    data.Global().SetScrollText("AllData");
    data.Global().SetParameter(ParamAddress(CTarnGlobalData::kParamMidiChannel), 9);
    for (int i = 0; i < 8; ++i) {
        data.ProgramMemory(i)->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamProgram),
                                            100 + i);
    }
    data.CurrentSetting().SetParameter(ParamAddress(CTarnCurrentSettingData::kParamTempo), 1234);
}

std::vector<uint8_t> Saved(CTarnAllData& data) {
    return WrittenBytes([&](CHfcFile& f) { EXPECT_TRUE(data.SaveFile(f)); });
}

bool SameData(const CTarnAllData& a, const CTarnAllData& b) {
    if (std::memcmp(a.Global().GetNativeData(), b.Global().GetNativeData(), 256) != 0 ||
        std::memcmp(a.CurrentSetting().GetNativeData(), b.CurrentSetting().GetNativeData(), 8)) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (std::memcmp(a.ProgramMemory(i)->GetNativeData(), b.ProgramMemory(i)->GetNativeData(),
                        30) != 0) {
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
    return {bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to)};
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& part) {
    out.insert(out.end(), part.begin(), part.end());
}

} // namespace

TEST(CurrentSetting, DefaultsAndParameters) {
    CTarnCurrentSettingData c;
    EXPECT_EQ(c.GetParameter(ParamAddress(CTarnCurrentSettingData::kParamTempo)), 1200);
    const std::vector<uint8_t> defaults = {0x04, 0xB0, 2, 60, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(c.GetNativeData(), c.GetNativeData() + 8), defaults);
    c.SetParameter(ParamAddress(CTarnCurrentSettingData::kParamTempo), 1234);
    EXPECT_EQ(c.GetNativeData()[0], 0x04);
    EXPECT_EQ(c.GetNativeData()[1], 0xD2);
    c.SetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue3), 0x1FF);
    EXPECT_EQ(c.GetParameter(ParamAddress(CTarnCurrentSettingData::kParamValue3)), 0xFF);
    c.SetParameter(ParamAddress(4), 7);
    EXPECT_EQ(c.GetParameter(ParamAddress(4)), 0);
    EXPECT_EQ(c.GetNativeData()[5], 0);
}

TEST(AllData, ChunkSequenceOfTheFile) {
    CTarnAllData data;
    Edit(data);
    const auto bytes = Saved(data);
    ASSERT_EQ(bytes.size(), kFileSize);
    EXPECT_EQ(data.GetFileSize(), static_cast<int>(kFileSize));
    EXPECT_EQ(Slice(bytes, 0, 12),
              (std::vector<uint8_t>{'T', 'X', 'P', 'F', 1, 8, 4, 0xFF, 0x00, 0x00, 0x30, 0x00}));
    EXPECT_EQ(std::string(bytes.begin() + kGlob, bytes.begin() + kGlob + 4), "GLOB");
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(bytes[kProg + i * 1024 + 16], 100 + i);
    }
    for (size_t b = 0; b < 4; ++b) {
        EXPECT_EQ(std::string(bytes.begin() + kSmpl + b * 512, bytes.begin() + kSmpl + b * 512 + 4),
                  "SMPL");
    }
    EXPECT_EQ(std::string(bytes.begin() + kCurrent, bytes.begin() + kCurrent + 4), "PROG");
    EXPECT_EQ(bytes[kCurrent + 7], 8);
    EXPECT_EQ(bytes[kCurrent + 16], 0x04);
    EXPECT_EQ(bytes[kCurrent + 17], 0xD2);

    // A file header written short is a false result, not an exception.
    ReadOnlyFile ro;
    bool threw = false;
    try {
        EXPECT_FALSE(data.SaveFile(ro.File()));
    } catch (const CTarnFileException&) {
        threw = true;
    }
    EXPECT_FALSE(threw);
}

TEST(AllData, RoundTripIncludingCurrentSetting) {
    CTarnAllData data;
    Edit(data);
    const auto bytes = Saved(data);
    CTarnAllData loaded;
    bool ok = false;
    EXPECT_EQ(ReadCode(
                  bytes, [&](CHfcFile& f) { return loaded.LoadFile(f); }, &ok),
              -1);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(SameData(loaded, data));

    // The trailing current setting is extra: when it is damaged or cut off, the file still loads
    // and the current setting keeps its default, as for a file without one.
    auto damaged = bytes;
    damaged[kCurrent + 16] ^= 0x01;
    for (const auto& file : {damaged, Slice(bytes, 0, kCurrent + 20)}) {
        CTarnAllData other;
        ok = false;
        EXPECT_EQ(ReadCode(
                      file, [&](CHfcFile& f) { return other.LoadFile(f); }, &ok),
                  -1);
        EXPECT_TRUE(ok);
        EXPECT_EQ(other.CurrentSetting().GetParameter(ParamAddress(0)), 1200);
        EXPECT_EQ(other.ProgramMemory(7)->GetParameter(ParamAddress(0)), 107);
    }
}

TEST(AllData, MissingChunksAndShortFiles) {
    CTarnAllData data;
    Edit(data);
    const auto bytes = Saved(data);
    CTarnAllData target;
    const CTarnAllData defaults;
    // A load fills a temporary that the target takes over only when the whole file loaded.
    auto load = [&](CHfcFile& f) {
        CTarnAllData temporary(CTarnSampleSet::Buffers::kNone);
        return temporary.LoadFile(f) && target.MoveFrom(&temporary);
    };

    // Announcing 1 + 8 + 3 chunks in a complete file: only three banks arrive.
    auto twelve = bytes;
    twelve[6] = 3;
    EXPECT_EQ(ReadCode(twelve, load), CTarnFileException::kNotEnoughData);
    // Ending after the eighth PROG chunk is a short read, not a silent failure.
    EXPECT_EQ(ReadCode(Slice(bytes, 0, kSmpl), load), CTarnFileException::kReadFailed);
    auto badProgram = bytes;
    badProgram[kProg + 5 * 1024 + 16] ^= 0x40;
    EXPECT_EQ(ReadCode(badProgram, load), CTarnFileException::kChecksum);
    auto badMagic = bytes;
    badMagic[0] = 'X';
    EXPECT_EQ(ReadCode(badMagic, load), CTarnFileException::kWrongFormat);
    EXPECT_TRUE(SameData(target, defaults));

    // At most 13 chunks are read whatever the header announces.
    auto forty = bytes;
    forty[5] = 35;
    EXPECT_EQ(ReadCode(forty, load), -1);
    EXPECT_TRUE(SameData(target, data));
}

TEST(AllData, ChunksMatchByIdAndUnknownOnesAreSkipped) {
    CTarnAllData data;
    Edit(data);
    const auto bytes = Saved(data);
    std::vector<uint8_t> junk(1024, 0xFF);
    std::memcpy(junk.data(), "JUNK", 4);
    junk[8] = 0;
    junk[9] = 2;
    std::vector<uint8_t> file = Slice(bytes, 0, 512);
    Append(file, Slice(bytes, kSmpl, kCurrent));
    Append(file, Slice(bytes, kGlob, kProg));
    Append(file, junk);
    Append(file, Slice(bytes, kProg, kSmpl));
    CTarnAllData loaded;
    {
        RecordingProgress progress;
        EXPECT_EQ(ReadCode(file, [&](CHfcFile& f) { return loaded.LoadFile(f); }), -1);
        EXPECT_EQ(progress.opened, 1);
        EXPECT_EQ(progress.closed, 1);
        EXPECT_EQ(progress.text, "Loading...");
        EXPECT_EQ(progress.total, 13);
        // One step per chunk loaded; the junk chunk moves nothing.
        std::vector<int> steps(14);
        std::iota(steps.begin(), steps.end(), 0);
        EXPECT_EQ(progress.positions, steps);
    }
    // Without a trailing current-setting chunk the default stays.
    EXPECT_EQ(loaded.CurrentSetting().GetParameter(ParamAddress(0)), 1200);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(loaded.ProgramMemory(i)->GetParameter(ParamAddress(0)), 100 + i);
    }
    char text[11];
    loaded.Global().GetScrollText(text, sizeof text);
    EXPECT_STREQ(text, "AllData");

    // A junk chunk that claims no blocks cannot be stepped over.
    junk[9] = 0;
    file = Slice(bytes, 0, kProg);
    Append(file, junk);
    {
        RecordingProgress progress;
        EXPECT_EQ(ReadCode(file, [&](CHfcFile& f) { return loaded.LoadFile(f); }),
                  CTarnFileException::kWrongFormat);
        EXPECT_EQ(progress.closed, progress.opened);
    }

    // A bundle whose program set was emptied by hand refuses the chunks instead of crashing.
    CTarnAllData emptied;
    emptied.Programs().Initialize();
    bool ok = true;
    EXPECT_EQ(ReadCode(
                  bytes,
                  [&](CHfcFile& f) {
                      f.Seek(512, CHfcFile::kBegin);
                      return emptied.LoadChunk(f, 13);
                  },
                  &ok),
              -1);
    EXPECT_FALSE(ok);
}

TEST(AllData, ResetInitializeAndPredecessorPrograms) {
    CTarnAllData data;
    Edit(data);
    data.ConvertPredecessorPrograms();
    EXPECT_EQ(data.ProgramMemory(1)->GetParameter(ParamAddress(0)), 40);
    EXPECT_EQ(data.Global().GetParameter(ParamAddress(CTarnGlobalData::kParamMidiChannel)), 9);
    data.Reset();
    EXPECT_TRUE(SameData(data, CTarnAllData()));
    Edit(data);
    data.Initialize();
    ASSERT_EQ(data.Programs().Count(), 8);
    ASSERT_EQ(data.Samples().Count(), 4);
    EXPECT_TRUE(SameData(data, CTarnAllData()));
    EXPECT_EQ(Saved(data).size(), kFileSize);
}

TEST(AllData, CopyFromAndTheBundleHasNoBlock) {
    CTarnAllData a;
    Edit(a);
    CTarnAllData b;
    EXPECT_FALSE(b.CopyFrom(nullptr));
    EXPECT_TRUE(b.CopyFrom(&a));
    EXPECT_TRUE(SameData(a, b));
    EXPECT_TRUE(b.CopyFrom(&b));
    ASSERT_EQ(b.Programs().Count(), 8);
    ASSERT_EQ(b.Samples().Count(), 4);
    EXPECT_TRUE(SameData(a, b));
    EXPECT_EQ(b.GetBlockTag(), ef::FourCC("EFDt"));
    EXPECT_EQ(b.GetParameter(ParamAddress(0)), 0);
}

TEST(DataManager, CreatesTheBundle) {
    CTarnDataManager manager;
    manager.Open();
    const int32_t handle = manager.NewHandle();
    EXPECT_EQ(handle, 1);
    ASSERT_NE(manager.CreateData(handle), nullptr);
    CTarnAllData* data = manager.FindAllData(handle);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->Programs().Count(), 8);
    EXPECT_TRUE(manager.RemoveHandle(handle));
    EXPECT_EQ(manager.FindAllData(handle), nullptr);
}
