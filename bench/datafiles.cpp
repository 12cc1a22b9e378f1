#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "data/CTarnAllData.h"
#include "files/CTarnAllDataIO.h"
#include "framework/CEfFileIO.h"

namespace {

// An all-data set with four full banks: a 16-beat phrase at 108.5 BPM fills a bank (about
// 6.8 MB of file).
void FillAllData(CTarnAllData& data) {
    std::mt19937 generator(42);
    for (int b = 0; b < CTarnSampleSet::kBankCount; ++b) {
        CTarnSampleData& bank = *data.Bank(b);
        bank.Initialize();
        bank.SetTempo(108.5);
        bank.SetPhraseLength(8);
        bank.SetPlayLength(8);
        bank.SetLoadedFrames(MaxSampleFrames);
        uint8_t* audio = bank.GetData();
        for (int i = 0; i < bank.GetDataSize(); ++i) {
            audio[i] = static_cast<uint8_t>(generator());
        }
    }
}

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "talvex-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            path_ = pattern;
        }
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void BM_SaveAllData(benchmark::State& state) {
    ScratchFolder folder;
    CTarnAllData data;
    FillAllData(data);
    CTarnAllDataIO io;
    const std::string path = folder.File("bench.t2a");
    for (auto _ : state) {
        if (io.SavePath(data, path) != CEfFileIO::kSucceeded) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_SaveAllData)->Unit(benchmark::kMillisecond);

void BM_LoadAllData(benchmark::State& state) {
    ScratchFolder folder;
    CTarnAllData data;
    FillAllData(data);
    CTarnAllDataIO io;
    const std::string path = folder.File("bench.t2a");
    if (io.SavePath(data, path) != CEfFileIO::kSucceeded) {
        state.SkipWithError("save failed");
        return;
    }
    CTarnAllData target;
    for (auto _ : state) {
        if (io.OpenPath(target, path) != CEfFileIO::kSucceeded) {
            state.SkipWithError("load failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_LoadAllData)->Unit(benchmark::kMillisecond);

} // namespace
