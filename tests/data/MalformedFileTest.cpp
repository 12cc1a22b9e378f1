#include <gtest/gtest.h>

#include <random>

#include "DataFileHelpers.h"
#include "data/CTarnAllData.h"

namespace {

// Seeded damage to a valid file: flipped bytes in the headers, truncation, or both. Every
// result must either load or end in a CTarnFileException; nothing else may escape.
template <class Data>
void SurvivesDamage(const std::vector<uint8_t>& valid, const std::vector<size_t>& hotSpots,
                    int rounds) {
    std::mt19937 random(1234);
    for (int round = 0; round < rounds; ++round) {
        std::vector<uint8_t> bytes = valid;
        const int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips; ++i) {
            const size_t base = hotSpots[random() % hotSpots.size()];
            const size_t at = std::min(bytes.size() - 1, base + random() % 16);
            bytes[at] = static_cast<uint8_t>(random());
        }
        if (random() % 3 == 0) {
            bytes.resize(random() % bytes.size());
        }
        Data target;
        const int code = ReadCode(bytes, [&](CHfcFile& f) { return target.LoadFile(f); });
        EXPECT_TRUE(code == -1 || (code >= 0 && code <= 14)) << "round " << round;
    }
}

} // namespace

TEST(MalformedFile, GlobalAndProgramFiles) {
    CTarnGlobalData global;
    const auto globalFile = WrittenBytes([&](CHfcFile& f) { global.SaveFile(f); });
    SurvivesDamage<CTarnGlobalData>(globalFile, {0, 512}, 200);
    CTarnProgramMemorySet programs;
    const auto programFile = WrittenBytes([&](CHfcFile& f) { programs.SaveFile(f); });
    SurvivesDamage<CTarnProgramMemorySet>(programFile, {0, 512, 1536, 8704 - 1024}, 200);
}

TEST(MalformedFile, AllDataFiles) {
    CTarnAllData data;
    const auto file = WrittenBytes([&](CHfcFile& f) { data.SaveFile(f); });
    // File header, GLOB, first PROG, the SMPL chunks and the trailing current setting.
    SurvivesDamage<CTarnAllData>(file, {0, 512, 1024, 9216, 9728, 10240, 10752, 11264}, 25);
}
