#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "audio/CTarnExternalSampleImporter.h"
#include "data/CTarnAllData.h"
#include "data/CTarnCurrentSettingData.h"
#include "files/CTarnAllDataIO.h"
#include "files/CTarnGlobalDataIO.h"
#include "files/CTarnProgramMemoryDataIO.h"
#include "framework/CEfFileIO.h"
#include "framework/CHfcFile.h"
#include "framework/EfByteOrder.h"
#include "support/RecordingAlertPresenter.h"
#include "support/TempDir.h"

// A load that fails late, after the temporary has taken whole banks, leaves the target byte for
// byte as it was: every file kind, with cut files, a broken checksum in the last chunk read and
// a bad header.

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& to, const uint8_t* data, size_t size) {
    to.insert(to.end(), data, data + size);
}

// Every byte and setting of a bank, as its clipboard block holds them, and its native header.
Bytes BankBytes(const CTarnSampleData& bank) {
    Bytes bytes(static_cast<size_t>(bank.GetBlockDataSize()));
    bank.GetBlockData(bytes.data(), static_cast<int>(bytes.size()), 0);
    uint8_t header[CTarnSampleData::kNativeHeaderSize];
    bank.GetNativeHeader(header);
    Append(bytes, header, sizeof header);
    return bytes;
}

Bytes AllBytes(const CTarnAllData& all) {
    Bytes bytes;
    for (int b = 0; b < all.Samples().Count(); ++b) {
        const Bytes bank = BankBytes(*all.Bank(b));
        Append(bytes, bank.data(), bank.size());
    }
    for (int i = 0; i < all.Programs().Count(); ++i) {
        Append(bytes, all.ProgramMemory(i)->GetNativeData(), CTarnProgramMemoryData::kImageSize);
    }
    Append(bytes, all.Global().GetNativeData(), CTarnGlobalData::kImageSize);
    Append(bytes, all.CurrentSetting().GetNativeData(), CTarnCurrentSettingData::kImageSize);
    return bytes;
}

void Fill(CTarnAllData& data, uint32_t seed) {
    std::mt19937 generator(seed);
    for (int b = 0; b < 4; ++b) {
        CTarnSampleData& bank = *data.Bank(b);
        bank.SetTempo(100.0 + b);
        bank.SetPhraseLength(4 + b);
        bank.SetLoadedFrames(MaxSampleFrames / (b + 1));
        for (int i = 0; i < bank.GetDataSize(); ++i) {
            bank.GetData()[i] = static_cast<uint8_t>(generator());
        }
    }
    for (int i = 0; i < 8; ++i) {
        data.ProgramMemory(i)->SetParameter(ParamAddress(0), static_cast<int>(generator() % 250));
    }
    uint8_t global[CTarnGlobalData::kImageSize];
    for (uint8_t& byte : global) {
        byte = static_cast<uint8_t>(generator());
    }
    data.Global().SetNativeData(global);
    data.CurrentSetting().SetParameter(ParamAddress(0), 1000 + static_cast<int>(seed % 100));
}

Bytes Cut(const Bytes& bytes, size_t size) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size));
}

class FailedLoads : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const Bytes& bytes) {
        TempDir::WriteAll(dir.File(name), bytes);
        return dir.File(name);
    }

    TempDir dir;
    RecordingAlertPresenter alerts;
};

// Offsets in an all-data file written by the editor.
constexpr size_t kGlob = 512;
constexpr size_t kProg = 1024;
constexpr size_t kSmpl = kProg + 8 * 1024;

} // namespace

TEST_F(FailedLoads, AllDataTargetStaysByteForByte) {
    CTarnAllData source;
    Fill(source, 1);
    CTarnAllDataIO io;
    ASSERT_EQ(io.SavePath(source, dir.File("good.t2a")), CEfFileIO::kSucceeded);
    const Bytes good = TempDir::ReadAll(dir.File("good.t2a"));
    size_t current = kSmpl;
    size_t lastBank = kSmpl;
    for (int b = 0; b < 4; ++b) {
        lastBank = current;
        current += size_t{ef::ReadBE16(&good[current + 8])} * 512;
    }

    // The banks first and the global chunk last, so that everything else has loaded when the
    // broken checksum is found.
    Bytes reordered = Cut(good, 512);
    Append(reordered, good.data() + kSmpl, current - kSmpl);
    Append(reordered, good.data() + kProg, kSmpl - kProg);
    Append(reordered, good.data() + kGlob, kProg - kGlob);
    Bytes brokenLast = reordered;
    brokenLast[reordered.size() - 512 + 16 + 5] ^= 0x01;
    Bytes badMagic = good;
    badMagic[3] = 'X';
    Bytes twelve = good;
    twelve[6] = 3;

    CTarnAllData target;
    Fill(target, 2);
    const Bytes before = AllBytes(target);
    for (const Bytes& file : {Cut(good, lastBank + 5000), Cut(good, lastBank + 20), brokenLast,
                              badMagic, twelve, Cut(good, 300)}) {
        EXPECT_EQ(io.OpenPath(target, Write("bad.t2a", file)), CEfFileIO::kFailed);
        EXPECT_EQ(AllBytes(target), before);
    }
    EXPECT_EQ(alerts.alerts.size(), 6u);

    // The reordered file itself loads as the original does (but for the current setting, which
    // it no longer carries after its announced chunks).
    EXPECT_EQ(io.OpenPath(target, Write("reordered.t2a", reordered)), CEfFileIO::kSucceeded);
    CTarnAllData expected;
    ASSERT_EQ(io.OpenPath(expected, dir.File("good.t2a")), CEfFileIO::kSucceeded);
    expected.CurrentSetting().CopyFrom(&target.CurrentSetting());
    EXPECT_EQ(AllBytes(target), AllBytes(expected));
}

TEST_F(FailedLoads, GlobalAndProgramMemoryTargetsStayByteForByte) {
    CTarnAllData source;
    Fill(source, 3);
    CTarnGlobalDataIO globalIo;
    CTarnProgramMemoryDataIO programIo;
    ASSERT_EQ(globalIo.SavePath(source.Global(), dir.File("good.t2g")), CEfFileIO::kSucceeded);
    ASSERT_EQ(programIo.SavePath(source.Programs(), dir.File("good.t2p")), CEfFileIO::kSucceeded);
    const Bytes global = TempDir::ReadAll(dir.File("good.t2g"));
    const Bytes programs = TempDir::ReadAll(dir.File("good.t2p"));

    CTarnAllData target;
    Fill(target, 4);
    const Bytes before = AllBytes(target);

    Bytes brokenGlobal = global;
    brokenGlobal[512 + 16 + 200] ^= 0x80;
    Bytes badGlobal = global;
    badGlobal[0] = 'X';
    for (const Bytes& file : {Cut(global, 700), brokenGlobal, badGlobal}) {
        EXPECT_EQ(globalIo.OpenPath(target.Global(), Write("bad.t2g", file)), CEfFileIO::kFailed);
        EXPECT_EQ(AllBytes(target), before);
    }

    // The eighth memory is the last chunk read.
    Bytes brokenPrograms = programs;
    brokenPrograms[512 + 7 * 1024 + 16 + 3] ^= 0x01;
    Bytes sevenPrograms = programs;
    sevenPrograms[5] = 7;
    for (const Bytes& file :
         {Cut(programs, programs.size() - 1000), brokenPrograms, sevenPrograms}) {
        EXPECT_EQ(programIo.OpenPath(target.Programs(), Write("bad.t2p", file)),
                  CEfFileIO::kFailed);
        EXPECT_EQ(AllBytes(target), before);
    }
}

TEST_F(FailedLoads, SampleFileImportLeavesTheBankByteForByte) {
    CTarnAllData source;
    Fill(source, 5);
    const std::string path = dir.File("good.t2s");
    {
        CHfcFile file;
        ASSERT_TRUE(file.Open(path, CHfcFile::kWrite | CHfcFile::kBinary));
        ASSERT_TRUE(source.Bank(0)->SaveFile(file));
    }
    const Bytes good = TempDir::ReadAll(path);

    CTarnAllData target;
    Fill(target, 6);
    const Bytes bank = BankBytes(*target.Bank(1));
    CTarnCurrentSettingData setting;
    Bytes badMagic = good;
    badMagic[1] = 'Q';
    Bytes noSample = good;
    noSample[6] = 0;
    for (const Bytes& file : {Cut(good, good.size() - 600), Cut(good, 520), badMagic, noSample}) {
        CTarnExternalSampleImporter importer;
        EXPECT_EQ(importer.Import(Write("bad.t2s", file), *target.Bank(1), setting),
                  CEfFileIO::kFailed);
        EXPECT_EQ(BankBytes(*target.Bank(1)), bank);
    }

    CTarnExternalSampleImporter importer;
    EXPECT_EQ(importer.Import(path, *target.Bank(1), setting), CEfFileIO::kSucceeded);
    EXPECT_EQ(importer.Import(path, *target.Bank(2), setting), CEfFileIO::kSucceeded);
    EXPECT_EQ(BankBytes(*target.Bank(1)), BankBytes(*target.Bank(2)));
    EXPECT_NE(BankBytes(*target.Bank(1)), bank);
}
