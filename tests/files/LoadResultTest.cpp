#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/CEfException.h"
#include "data/CTarnAllData.h"
#include "data/CTarnFileException.h"
#include "data/CTarnGlobalData.h"
#include "data/CTarnProgramMemorySet.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFile.h"
#include "support/TempDir.h"

// What every load produces, summed up over the seed files and thousands of damaged variants of
// them: the accepted/refused decision, the error code and every byte and setting of what was
// loaded. The expected sums were taken from the loader before it was reworked for speed; any
// change in what a file loads as shows up here.

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

class Digest {
public:
    void Add(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            uint64_t word;
            std::memcpy(&word, p + i, sizeof word);
            Mix(word);
        }
        for (; i < size; ++i) {
            Mix(p[i]);
        }
        Mix(size);
    }
    void Add(int64_t value) { Add(&value, sizeof value); }
    uint64_t Value() const { return hash_; }

private:
    void Mix(uint64_t value) {
        hash_ = (hash_ ^ value) * 0x100000001b3ull;
        hash_ ^= hash_ >> 29;
    }

    uint64_t hash_ = 0xcbf29ce484222325ull;
};

void AddBank(Digest& digest, const CTarnSampleData& bank) {
    Bytes block(static_cast<size_t>(bank.GetBlockDataSize()));
    ASSERT_TRUE(bank.GetBlockData(block.data(), static_cast<int>(block.size()), 0));
    digest.Add(block.data(), block.size());
    uint8_t header[CTarnSampleData::kNativeHeaderSize];
    bank.GetNativeHeader(header);
    digest.Add(header, sizeof header);
    digest.Add(bank.HasData() ? 1 : 0);
}

void AddPrograms(Digest& digest, const CTarnProgramMemorySet& programs) {
    digest.Add(programs.Count());
    for (int i = 0; i < programs.Count(); ++i) {
        digest.Add(programs.Memory(i)->GetNativeData(), CTarnProgramMemoryData::kImageSize);
    }
}

void AddAll(Digest& digest, const CTarnAllData& all) {
    digest.Add(all.Samples().Count());
    for (int b = 0; b < all.Samples().Count(); ++b) {
        AddBank(digest, *all.Bank(b));
    }
    AddPrograms(digest, all.Programs());
    digest.Add(all.Global().GetNativeData(), CTarnGlobalData::kImageSize);
    digest.Add(all.CurrentSetting().GetNativeData(), CTarnCurrentSettingData::kImageSize);
}

// Loads bytes as one file kind into a fresh object, as the file objects do, and adds the
// outcome: the error code (or -1), the result and, when the load succeeded, the object.
template <class Data, class Add> void AddLoad(Digest& digest, const Bytes& bytes, Add add) {
    CHfcFile file;
    ASSERT_TRUE(file.OpenMemory(bytes.data(), bytes.size()));
    Data loaded;
    int code = -1;
    bool ok = false;
    try {
        ok = loaded.LoadFile(file);
    } catch (const CEfException& error) {
        code = error.GetCode();
    }
    digest.Add(code);
    digest.Add(ok ? 1 : 0);
    if (ok) {
        add(digest, loaded);
    }
}

struct Digests {
    Digest all;
    Digest global;
    Digest programs;
    Digest sample;
};

void AddEveryKind(Digests& digests, const Bytes& bytes) {
    AddLoad<CTarnAllData>(digests.all, bytes, AddAll);
    AddLoad<CTarnGlobalData>(digests.global, bytes, [](Digest& d, const CTarnGlobalData& g) {
        d.Add(g.GetNativeData(), CTarnGlobalData::kImageSize);
    });
    AddLoad<CTarnProgramMemorySet>(digests.programs, bytes, AddPrograms);
    AddLoad<CTarnSampleData>(digests.sample, bytes, AddBank);
}

Bytes ReadFile(const fs::path& path) {
    return TempDir::ReadAll(path.string());
}

// Four banks of different lengths and tempos, one of them full and one empty, saved as an
// all-data file.
Bytes GeneratedAllData() {
    CTarnAllData data;
    std::mt19937 generator(7);
    const double tempos[] = {108.5, 123.4, 61.0, 150.0};
    const int lengths[] = {8, 5, 6, 3};
    for (int b = 0; b < 4; ++b) {
        CTarnSampleData& bank = *data.Bank(b);
        bank.SetTempo(tempos[b]);
        bank.SetPhraseLength(lengths[b]);
        bank.SetPlayLength(b);
        bank.SetPlayLevel(30 * b);
        bank.SetLoadedFrames(b == 2 ? 0 : MaxSampleFrames / (b * b * 8 + 1));
        uint8_t* audio = bank.GetData();
        for (int i = 0; i < bank.GetDataSize(); ++i) {
            audio[i] = static_cast<uint8_t>(generator());
        }
    }
    for (int i = 0; i < 8; ++i) {
        data.ProgramMemory(i)->SetParameter(ParamAddress(0), 10 + i);
    }
    data.CurrentSetting().SetParameter(ParamAddress(0), 1333);
    TempDir dir;
    const std::string path = dir.File("generated.t2a");
    {
        CHfcFile file;
        EXPECT_TRUE(file.Open(path, CHfcFile::kWrite | CHfcFile::kBinary));
        EXPECT_TRUE(data.SaveFile(file));
    }
    return TempDir::ReadAll(path);
}

Bytes GeneratedSampleFile() {
    CTarnSampleData bank;
    bank.Initialize();
    bank.SetTempo(97.3);
    bank.SetPhraseLength(5);
    bank.SetLoadedFrames(90000);
    std::mt19937 generator(11);
    uint8_t* audio = bank.GetData();
    for (int i = 0; i < bank.GetDataSize(); ++i) {
        audio[i] = static_cast<uint8_t>(generator());
    }
    TempDir dir;
    const std::string path = dir.File("generated.t2s");
    {
        CHfcFile file;
        EXPECT_TRUE(file.Open(path, CHfcFile::kWrite | CHfcFile::kBinary));
        EXPECT_TRUE(bank.SaveFile(file));
    }
    return TempDir::ReadAll(path);
}

// Where the file header and each chunk begin, found by walking the chunks' block counts.
std::vector<size_t> ChunkStarts(const Bytes& bytes) {
    std::vector<size_t> starts{0};
    size_t at = 512;
    while (at + 16 <= bytes.size()) {
        starts.push_back(at);
        const size_t blocks = size_t{bytes[at + 8]} << 8 | bytes[at + 9];
        if (blocks == 0) {
            break;
        }
        at += blocks * 512;
    }
    return starts;
}

// The file itself, cuts at and around every chunk's start, damaged header and chunk-header
// bytes, and random damage. Large files get fewer variants: each costs a full load.
std::vector<Bytes> Variants(const Bytes& base, uint32_t seed) {
    const bool large = base.size() > 100000;
    std::vector<Bytes> variants{base};
    for (const size_t at : ChunkStarts(base)) {
        for (const size_t cut : {at, at + 1, at + 16, at + 31, at + 33, at + 500}) {
            if (cut < base.size()) {
                variants.emplace_back(base.begin(), base.begin() + static_cast<long>(cut));
            }
        }
        const size_t first = large && at > 0 ? 4 : 0;
        const size_t last = large ? 12 : 32;
        for (size_t i = first; i < last && at + i < base.size(); ++i) {
            for (const uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x7F}}) {
                if (large && value == 0x7F) {
                    continue;
                }
                Bytes damaged = base;
                damaged[at + i] = value;
                variants.push_back(std::move(damaged));
            }
            Bytes flipped = base;
            flipped[at + i] ^= 0x01;
            variants.push_back(std::move(flipped));
        }
    }
    std::mt19937 generator(seed);
    const int random = large ? 20 : 300;
    for (int n = 0; n < random && !base.empty(); ++n) {
        Bytes damaged = base;
        const int changes = 1 + static_cast<int>(generator() % 8);
        for (int c = 0; c < changes; ++c) {
            damaged[generator() % damaged.size()] = static_cast<uint8_t>(generator());
        }
        if (generator() % 4 == 0) {
            damaged.resize(generator() % damaged.size());
        }
        variants.push_back(std::move(damaged));
    }
    return variants;
}

std::vector<Bytes> Bases() {
    std::vector<Bytes> bases;
    const fs::path seeds = fs::path(TALVEX_FIXTURES_DIR).parent_path() / "fuzz" / "seeds";
    for (const char* folder : {"fuzz_data_files", "fuzz_sample_file"}) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(seeds / folder)) {
            files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& path : files) {
            bases.push_back(ReadFile(path));
        }
    }
    bases.push_back(GeneratedAllData());
    bases.push_back(GeneratedSampleFile());
    return bases;
}

} // namespace

TEST(LoadResult, EveryKindLoadsTheSeedsAndTheirDamagedVariantsAsBefore) {
    Digests digests;
    uint32_t seed = 1;
    size_t inputs = 0;
    for (const Bytes& base : Bases()) {
        for (const Bytes& variant : Variants(base, seed++)) {
            AddEveryKind(digests, variant);
            ++inputs;
        }
    }
    EXPECT_EQ(inputs, 5532u);
    EXPECT_EQ(digests.all.Value(), 0xa9e18342e67dfcdcull);
    EXPECT_EQ(digests.global.Value(), 0x695f2396bd6ed0cdull);
    EXPECT_EQ(digests.programs.Value(), 0x47e478db157dff33ull);
    EXPECT_EQ(digests.sample.Value(), 0xb5603d7da58a5f47ull);
}
