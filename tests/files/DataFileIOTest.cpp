#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "data/CTarnProgramMemorySet.h"
#include "files/CTarnAllDataIO.h"
#include "files/CTarnGlobalDataIO.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "files/TarnChunk.h"
#include "framework/EfByteOrder.h"
#include "support/RecordingAlertPresenter.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(generator());
    }
    return bytes;
}

Bytes Slice(const Bytes& bytes, size_t offset, size_t size) {
    return Bytes(bytes.begin() + static_cast<long>(offset),
                 bytes.begin() + static_cast<long>(offset + size));
}

Bytes Image(const uint8_t* data, size_t size) {
    return Bytes(data, data + size);
}

// Frames of a 16-beat phrase at 110 BPM.
constexpr int kPhraseFrames = 418912;

// A bank holding one phrase of noise: files store the phrase only, so a bank loaded from a file
// holds exactly that.
void FillBank(CTarnSampleData& bank, uint32_t seed) {
    bank.Initialize();
    bank.SetTempo(110.0);
    bank.SetPhraseLength(8);
    bank.SetPlayLength(8);
    bank.SetPlayLevel(100);
    bank.SetLoadedFrames(kPhraseFrames);
    const Bytes noise = RandomBytes(static_cast<size_t>(bank.GetDataSize()), seed);
    std::copy(noise.begin(), noise.end(), bank.GetData());
}

void FillAllData(CTarnAllData& data, uint32_t seed) {
    data.Global().SetNativeData(RandomBytes(CTarnGlobalData::kImageSize, seed).data());
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        data.ProgramMemory(i)->SetNativeData(
            RandomBytes(CTarnProgramMemoryData::kImageSize, seed + 1 + i).data());
    }
    for (int b = 0; b < CTarnSampleSet::kBankCount; ++b) {
        FillBank(*data.Bank(b), seed + 10 + b);
    }
    data.CurrentSetting().SetParameter(ParamAddress(0), 987);
}

Bytes NativeSample(const CTarnSampleData& bank) {
    Bytes header(CTarnSampleData::kNativeHeaderSize);
    bank.GetNativeHeader(header.data());
    Bytes data(static_cast<size_t>(bank.GetNativeDataSize()));
    EXPECT_TRUE(bank.GetNativeData(data.data(), static_cast<int>(data.size())));
    header.insert(header.end(), data.begin(), data.end());
    return header;
}

Bytes ProgramImages(const CTarnProgramMemorySet& set) {
    Bytes images;
    for (int i = 0; i < CTarnProgramMemoryData::kMemoryCount; ++i) {
        const uint8_t* image = set.Memory(i)->GetNativeData();
        images.insert(images.end(), image, image + CTarnProgramMemoryData::kImageSize);
    }
    return images;
}

// Header checks shared by every file type: magic, counts, FF, total size, FF.
void ExpectFileHeader(const Bytes& file, uint8_t glob, uint8_t prog, uint8_t smpl) {
    ASSERT_GE(file.size(), 512u);
    EXPECT_EQ(Slice(file, 0, 8), (Bytes{'T', 'X', 'P', 'F', glob, prog, smpl, 0xFF}));
    EXPECT_EQ(ef::ReadBE32(&file[8]), file.size());
    EXPECT_EQ(Slice(file, 12, 500), Bytes(500, 0xFF));
}

// A checksummed chunk at offset: ID, length, blocks, checksum of image, FF, image, FF padding.
void ExpectImageChunk(const Bytes& file, size_t offset, const char* id, const Bytes& image,
                      uint16_t blocks) {
    ASSERT_GE(file.size(), offset + blocks * 512u);
    EXPECT_EQ(Slice(file, offset, 4), Bytes(id, id + 4));
    EXPECT_EQ(ef::ReadBE32(&file[offset + 4]), image.size());
    EXPECT_EQ(ef::ReadBE16(&file[offset + 8]), blocks);
    EXPECT_EQ(ef::ReadBE16(&file[offset + 10]), tarn::WordSumChecksum(image.data(), image.size()));
    EXPECT_EQ(Slice(file, offset + 12, 4), Bytes(4, 0xFF));
    EXPECT_EQ(Slice(file, offset + 16, image.size()), image);
    const size_t padding = blocks * 512u - 16 - image.size();
    EXPECT_EQ(Slice(file, offset + 16 + image.size(), padding), Bytes(padding, 0xFF));
}

class DataFiles : public ::testing::Test {
protected:
    std::string WriteGlobalFile(const std::string& name, const CTarnGlobalData& global) {
        CTarnGlobalDataIO io;
        CTarnGlobalData copy;
        copy.CopyFrom(&global);
        EXPECT_EQ(io.SavePath(copy, dir.File(name)), CEfFileIO::kSucceeded);
        return dir.File(name);
    }

    TempDir dir;
    ScriptedFileDialogs dialogs;
    RecordingAlertPresenter alerts;
};

} // namespace

TEST_F(DataFiles, GlobalFileIsByteExactAndSaveAlwaysAsks) {
    CTarnGlobalData global;
    global.SetNativeData(RandomBytes(CTarnGlobalData::kImageSize, 7).data());
    CTarnGlobalDataIO io;

    dialogs.Choose(dir.File("settings"));
    ASSERT_EQ(io.Save(global), CEfFileIO::kSucceeded);
    const ScriptedFileDialogs::Shown& save = dialogs.LastShown();
    EXPECT_EQ(save.kind, CHfcFileDialog::kSave);
    EXPECT_EQ(save.title, "Save TALVEX PRO+ Global Data File");
    ASSERT_EQ(save.filters.size(), 1u);
    EXPECT_EQ(save.filters[0].description, "TALVEX PRO+ Global Data Files (*.t2g)");
    EXPECT_EQ(save.filters[0].pattern, "*.t2g");
    EXPECT_EQ(save.defaultExtension, "t2g");
    EXPECT_EQ(save.initialFileName, "Untitled.t2g");

    // The default extension completes a name typed without one.
    const Bytes file = TempDir::ReadAll(dir.File("settings.t2g"));
    ASSERT_EQ(file.size(), 1024u);
    ExpectFileHeader(file, 1, 0, 0);
    EXPECT_EQ(Slice(file, 8, 4), (Bytes{0x00, 0x00, 0x04, 0x00}));
    ExpectImageChunk(file, 512, "GLOB", Image(global.GetNativeData(), 256), 1);
    EXPECT_EQ(io.FileName(), "settings.t2g");

    // Save asks again, suggesting the remembered name.
    dialogs.Cancel();
    EXPECT_EQ(io.Save(global), CEfFileIO::kNothingDone);
    EXPECT_EQ(dialogs.AllShown().size(), 2u);
    EXPECT_EQ(dialogs.LastShown().initialFileName, "settings.t2g");
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(DataFiles, ProgramMemoryFileIsByteExactAndRoundTrips) {
    CTarnProgramMemorySet programs;
    for (int i = 0; i < 8; ++i) {
        programs.Memory(i)->SetNativeData(RandomBytes(30, 100 + i).data());
    }
    CTarnProgramMemoryDataIO io;
    dialogs.Choose(dir.File("memories.t2p"));
    ASSERT_EQ(io.SaveAs(programs), CEfFileIO::kSucceeded);
    EXPECT_EQ(dialogs.LastShown().title, "Save TALVEX PRO+ Program Memory Data File");
    EXPECT_EQ(dialogs.LastShown().initialFileName, "Untitled.t2p");

    const Bytes file = TempDir::ReadAll(dir.File("memories.t2p"));
    ASSERT_EQ(file.size(), 8704u);
    ExpectFileHeader(file, 0, 8, 0);
    for (int i = 0; i < 8; ++i) {
        ExpectImageChunk(file, 512 + 1024 * i, "PROG",
                         Image(programs.Memory(i)->GetNativeData(), 30), 2);
    }

    CTarnProgramMemorySet loaded;
    CTarnProgramMemoryDataIO reader;
    dialogs.ListFolder(dir.Path());
    dialogs.Choose(dir.File("memories.t2p"));
    ASSERT_EQ(reader.Open(loaded), CEfFileIO::kSucceeded);
    EXPECT_EQ(dialogs.LastShown().title, "Load TALVEX PRO+ Program Memory Data File");
    EXPECT_EQ(dialogs.LastShown().listed, std::vector<std::string>{dir.File("memories.t2p")});
    EXPECT_EQ(ProgramImages(loaded), ProgramImages(programs));

    // Seven announced PROG chunks do not make a program memory file.
    Bytes seven = file;
    seven[5] = 7;
    TempDir::WriteAll(dir.File("seven.t2p"), seven);
    CTarnProgramMemorySet untouched;
    const Bytes before = ProgramImages(untouched);
    EXPECT_EQ(reader.OpenPath(untouched, dir.File("seven.t2p")), CEfFileIO::kFailed);
    EXPECT_EQ(ProgramImages(untouched), before);
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].text, "File format not supported.");
    EXPECT_EQ(reader.RememberedPath(), dir.File("memories.t2p"));
}

TEST_F(DataFiles, BrokenChecksumIsReportedOnceAndChangesNothing) {
    CTarnGlobalData original;
    original.SetNativeData(RandomBytes(256, 3).data());
    const std::string good = WriteGlobalFile("good.t2g", original);
    Bytes broken = TempDir::ReadAll(good);
    broken[512 + 16 + 40] ^= 0x01;
    TempDir::WriteAll(dir.File("broken.t2g"), broken);

    CTarnGlobalDataIO io;
    CTarnGlobalData target;
    ASSERT_EQ(io.OpenPath(target, good), CEfFileIO::kSucceeded);
    EXPECT_EQ(Image(target.GetNativeData(), 256), Image(original.GetNativeData(), 256));

    CTarnGlobalData other;
    other.SetNativeData(RandomBytes(256, 4).data());
    target.CopyFrom(&other);
    EXPECT_EQ(io.OpenPath(target, dir.File("broken.t2g")), CEfFileIO::kFailed);
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].text, "The file is broken (Checksum error)");
    EXPECT_EQ(alerts.alerts[0].caption, "TALVEX PRO+ Editor");
    EXPECT_EQ(alerts.alerts[0].style, 0x22);
    EXPECT_EQ(Image(target.GetNativeData(), 256), Image(other.GetNativeData(), 256));
    EXPECT_EQ(io.RememberedPath(), good);

    // The open dialog does not offer files it could not take.
    TempDir::WriteAll(dir.File("notes.t2g"), Bytes(600, 'x'));
    TempDir::WriteAll(dir.File("short.t2g"), Bytes(100, 0xFF));
    TempDir::WriteAll(dir.File("good.txt"), TempDir::ReadAll(good));
    fs::create_directory(dir.File("older"));
    dialogs.ListFolder(dir.Path());
    dialogs.Cancel();
    EXPECT_EQ(io.Open(target), CEfFileIO::kNothingDone);
    EXPECT_EQ(dialogs.LastShown().title, "Load TALVEX PRO+ Global Data File");
    ASSERT_EQ(dialogs.LastShown().filters.size(), 2u);
    EXPECT_EQ(dialogs.LastShown().filters[1].description, "TALVEX PRO Global Data Files (*.txg)");
    EXPECT_EQ(dialogs.LastShown().filters[1].pattern, "*.txg");
    // The checksum is only checked on reading: the broken file is still offered.
    EXPECT_EQ(dialogs.LastShown().listed,
              (std::vector<std::string>{dir.File("broken.t2g"), dir.File("good.t2g"),
                                        dir.File("older")}));
    EXPECT_EQ(alerts.alerts.size(), 1u);
}

TEST_F(DataFiles, MagicAndExtensionsAreCheckedAsDocumented) {
    CTarnGlobalData original;
    original.SetNativeData(RandomBytes(256, 5).data());
    Bytes file = TempDir::ReadAll(WriteGlobalFile("a.t2g", original));
    CTarnGlobalDataIO io;

    file[3] = '+';
    TempDir::WriteAll(dir.File("plus.T2G"), file);
    CTarnGlobalData target;
    EXPECT_EQ(io.OpenPath(target, dir.File("plus.T2G")), CEfFileIO::kSucceeded);
    EXPECT_EQ(Image(target.GetNativeData(), 256), Image(original.GetNativeData(), 256));

    // The predecessor's global files are taken as they are.
    TempDir::WriteAll(dir.File("old.txg"), file);
    CTarnGlobalData fromOld;
    EXPECT_EQ(io.OpenPath(fromOld, dir.File("old.txg")), CEfFileIO::kSucceeded);
    EXPECT_EQ(Image(fromOld.GetNativeData(), 256), Image(original.GetNativeData(), 256));
    EXPECT_EQ(io.FileName(), "old.txg");

    file[3] = 'X';
    TempDir::WriteAll(dir.File("x.t2g"), file);
    CTarnGlobalData untouched;
    EXPECT_EQ(io.OpenPath(untouched, dir.File("x.t2g")), CEfFileIO::kFailed);
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].text, "File format not supported.");
    EXPECT_EQ(Image(untouched.GetNativeData(), 256), Image(CTarnGlobalData().GetNativeData(), 256));

    // Another extension fails without a message.
    file[3] = 'F';
    TempDir::WriteAll(dir.File("a.t2p"), file);
    TempDir::WriteAll(dir.File("noextension"), file);
    EXPECT_EQ(io.OpenPath(untouched, dir.File("a.t2p")), CEfFileIO::kFailed);
    EXPECT_EQ(io.OpenPath(untouched, dir.File("noextension")), CEfFileIO::kFailed);
    EXPECT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(io.RememberedPath(), dir.File("old.txg"));
}

class AllDataFiles : public DataFiles {
protected:
    static void SetUpTestSuite() {
        source = new CTarnAllData;
        FillAllData(*source, 1000);
    }
    static void TearDownTestSuite() {
        delete source;
        source = nullptr;
    }

    static void ExpectSameContent(const CTarnAllData& a, const CTarnAllData& b) {
        EXPECT_EQ(Image(a.Global().GetNativeData(), 256), Image(b.Global().GetNativeData(), 256));
        EXPECT_EQ(ProgramImages(a.Programs()), ProgramImages(b.Programs()));
        for (int bank = 0; bank < 4; ++bank) {
            EXPECT_EQ(NativeSample(*a.Bank(bank)), NativeSample(*b.Bank(bank))) << bank;
        }
        EXPECT_EQ(Image(a.CurrentSetting().GetNativeData(), 8),
                  Image(b.CurrentSetting().GetNativeData(), 8));
    }

    static CTarnAllData* source;
};

CTarnAllData* AllDataFiles::source = nullptr;

TEST_F(AllDataFiles, LayoutAndRoundTripBetweenIndependentInstances) {
    CTarnAllDataIO writer;
    dialogs.Choose(dir.File("set.t2a"));
    ASSERT_EQ(writer.Save(*source), CEfFileIO::kSucceeded);
    EXPECT_EQ(dialogs.LastShown().title, "Save TALVEX PRO+ All Data File");
    EXPECT_EQ(dialogs.LastShown().initialFileName, "Untitled.t2a");
    EXPECT_EQ(dialogs.LastShown().defaultExtension, "t2a");

    const Bytes file = TempDir::ReadAll(dir.File("set.t2a"));
    ExpectFileHeader(file, 1, 8, 4);
    ExpectImageChunk(file, 512, "GLOB", Image(source->Global().GetNativeData(), 256), 1);
    for (int i = 0; i < 8; ++i) {
        ExpectImageChunk(file, 1024 + 1024 * i, "PROG",
                         Image(source->ProgramMemory(i)->GetNativeData(), 30), 2);
    }
    size_t offset = 1024 + 8 * 1024;
    for (int bank = 0; bank < 4; ++bank) {
        const Bytes native = NativeSample(*source->Bank(bank));
        const size_t dataLength = native.size() - 16;
        EXPECT_EQ(dataLength, 4u * (kPhraseFrames + 1));
        const size_t blocks = (dataLength + 32 + 511) / 512;
        EXPECT_EQ(Slice(file, offset, 4), (Bytes{'S', 'M', 'P', 'L'}));
        EXPECT_EQ(ef::ReadBE32(&file[offset + 4]), dataLength);
        EXPECT_EQ(ef::ReadBE16(&file[offset + 8]), blocks);
        EXPECT_EQ(Slice(file, offset + 10, 6), Bytes(6, 0xFF));
        EXPECT_TRUE(std::equal(native.begin(), native.end(), file.begin() + offset + 16));
        const size_t padding = blocks * 512 - 32 - dataLength;
        EXPECT_EQ(Slice(file, offset + 32 + dataLength, padding), Bytes(padding, 0xFF));
        offset += blocks * 512;
    }
    ExpectImageChunk(file, offset, "PROG", Image(source->CurrentSetting().GetNativeData(), 8), 2);
    EXPECT_EQ(file.size(), offset + 1024);
    EXPECT_GT(file.size(), 6'700'000u);

    CTarnAllData loaded;
    CTarnAllDataIO reader;
    dialogs.ListFolder(dir.Path());
    dialogs.Choose(dir.File("set.t2a"));
    ASSERT_EQ(reader.Open(loaded), CEfFileIO::kSucceeded);
    EXPECT_EQ(dialogs.LastShown().title, "Open TALVEX PRO+ All Data File");
    ASSERT_EQ(dialogs.LastShown().filters.size(), 2u);
    EXPECT_EQ(dialogs.LastShown().filters[0].description, "TALVEX PRO+ All Data Files (*.t2a)");
    EXPECT_EQ(dialogs.LastShown().filters[1].description, "TALVEX PRO All Data Files (*.txa)");
    EXPECT_EQ(dialogs.LastShown().filters[1].pattern, "*.txa");
    ExpectSameContent(loaded, *source);
    EXPECT_EQ(reader.FileName(), "set.t2a");
    EXPECT_FALSE(reader.WasPredecessorFile());

    // Save writes the remembered file without a dialog.
    loaded.Global().SetNativeData(RandomBytes(256, 77).data());
    ASSERT_EQ(reader.Save(loaded), CEfFileIO::kSucceeded);
    EXPECT_EQ(dialogs.AllShown().size(), 2u);
    CTarnAllData again;
    ASSERT_EQ(CTarnAllDataIO().OpenPath(again, dir.File("set.t2a")), CEfFileIO::kSucceeded);
    ExpectSameContent(again, loaded);
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"set.t2a"});
}

TEST_F(AllDataFiles, PredecessorAndCapitalExtensions) {
    CTarnAllDataIO io;
    ASSERT_EQ(io.SavePath(*source, dir.File("set.t2a")), CEfFileIO::kSucceeded);
    fs::copy_file(dir.File("set.t2a"), dir.File("CAPS.T2A"));
    fs::copy_file(dir.File("set.t2a"), dir.File("old.txabc"));

    CTarnAllData caps;
    ASSERT_EQ(io.OpenPath(caps, dir.File("CAPS.T2A")), CEfFileIO::kSucceeded);
    ExpectSameContent(caps, *source);
    EXPECT_EQ(io.FileName(), "CAPS.T2A");

    // A predecessor file keeps its globals, samples and current setting; its program memories
    // become the defaults, and the file is not remembered for a later Save.
    CTarnAllData old;
    ASSERT_EQ(io.OpenPath(old, dir.File("old.txabc")), CEfFileIO::kSucceeded);
    EXPECT_TRUE(io.WasPredecessorFile());
    const CTarnProgramMemorySet defaults;
    for (int i = 0; i < 8; ++i) {
        for (int id :
             {CTarnProgramMemoryData::kParamProgram, CTarnProgramMemoryData::kParamScale,
              CTarnProgramMemoryData::kParamKey, CTarnProgramMemoryData::kParamNoteRange}) {
            EXPECT_EQ(old.ProgramMemory(i)->GetParameter(ParamAddress(id)),
                      defaults.Memory(i)->GetParameter(ParamAddress(id)))
                << i << " " << id;
        }
    }
    EXPECT_NE(ProgramImages(old.Programs()), ProgramImages(source->Programs()));
    EXPECT_EQ(Image(old.Global().GetNativeData(), 256),
              Image(source->Global().GetNativeData(), 256));
    for (int bank = 0; bank < 4; ++bank) {
        EXPECT_EQ(NativeSample(*old.Bank(bank)), NativeSample(*source->Bank(bank))) << bank;
    }
    EXPECT_FALSE(io.IsRemembered());
    EXPECT_EQ(io.FileName(), "Untitled");
    dialogs.Cancel();
    EXPECT_EQ(io.Save(old), CEfFileIO::kNothingDone);
    EXPECT_EQ(dialogs.AllShown().size(), 1u);
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(AllDataFiles, FailedLoadsAndSavesKeepEverything) {
    CTarnAllDataIO io;
    ASSERT_EQ(io.SavePath(*source, dir.File("set.t2a")), CEfFileIO::kSucceeded);
    const Bytes good = TempDir::ReadAll(dir.File("set.t2a"));

    // Ends after the eighth PROG chunk: the loader runs out of chunks.
    TempDir::WriteAll(dir.File("cut.t2a"), Slice(good, 0, 1024 + 8 * 1024));
    // One sample byte flipped is not noticed (SMPL chunks carry no checksum), one program byte is.
    Bytes broken = good;
    broken[1024 + 3 * 1024 + 16 + 2] ^= 0x80;
    TempDir::WriteAll(dir.File("broken.t2a"), broken);

    CTarnAllData target;
    FillAllData(target, 2000);
    CTarnAllData reference;
    reference.CopyFrom(&target);
    EXPECT_EQ(io.OpenPath(target, dir.File("cut.t2a")), CEfFileIO::kFailed);
    EXPECT_EQ(io.OpenPath(target, dir.File("broken.t2a")), CEfFileIO::kFailed);
    ExpectSameContent(target, reference);
    ASSERT_EQ(alerts.alerts.size(), 2u);
    EXPECT_EQ(alerts.alerts[0].text, "Unable to read data from the file.");
    EXPECT_EQ(alerts.alerts[1].text, "The file is broken (Checksum error)");
    EXPECT_EQ(io.RememberedPath(), dir.File("set.t2a"));

    // The remembered file cannot be replaced once its folder is gone.
    fs::create_directory(dir.File("sub"));
    ASSERT_EQ(io.SavePath(target, dir.File("sub/kept.t2a")), CEfFileIO::kSucceeded);
    fs::remove_all(dir.File("sub"));
    EXPECT_EQ(io.Save(target), CEfFileIO::kFailed);
    ASSERT_EQ(alerts.alerts.size(), 3u);
    EXPECT_EQ(alerts.alerts[2].text, "Failed to open the file.");
    EXPECT_EQ(alerts.alerts[2].style, 0x22);
    EXPECT_EQ(io.RememberedPath(), dir.File("sub/kept.t2a"));
    EXPECT_EQ(TempDir::ReadAll(dir.File("set.t2a")), good);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"broken.t2a", "cut.t2a", "set.t2a"}));
}
