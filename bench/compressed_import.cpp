// Import of compressed audio into a bank through the FFmpeg decoder: 10 s of FLAC at 48 kHz (no
// resampling) and at 44.1 kHz (through the high-quality resampler), and 10 s of AAC in M4A.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "ScratchFolder.h"
#include "audio/CTarnExternalSampleImporter.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnSampleData.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"

namespace {

// Files made by ffmpeg once, in a folder removed at exit.
ScratchFolder& Folder() {
    static ScratchFolder scratch;
    return scratch;
}

// 10 s of a stereo chord with some noise (so FLAC has work to do); empty when ffmpeg is missing.
std::string TenSeconds(int rate, const std::string& name, const std::string& codec) {
    const std::string file = Folder().File(name);
    const std::string command =
        "ffmpeg -loglevel error -y -f lavfi -i 'aevalsrc=0.3*sin(2*PI*440*t)+0.2*sin(2*PI*659*t)"
        "+0.01*(random(0)-0.5)|0.3*sin(2*PI*554*t)+0.01*(random(1)-0.5):s=" +
        std::to_string(rate) + ":d=10' " + codec + " '" + file + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? file : std::string();
}

void Import(benchmark::State& state, const std::string& file) {
    auto decoder = CreateCompressedAudioDecoder();
    if (!decoder || file.empty()) {
        state.SkipWithError("no FFmpeg decoder or no ffmpeg to make the file");
        return;
    }
    CTarnSampleData bank;
    CTarnCurrentSettingData setting;
    for (auto _ : state) {
        if (CTarnExternalSampleImporter(decoder.get()).Import(file, bank, setting) != 2) {
            state.SkipWithError("import failed");
            return;
        }
        benchmark::DoNotOptimize(bank.GetData());
    }
}

void BM_ImportFlac_10s48k(benchmark::State& state) {
    static const std::string file = TenSeconds(48000, "ten48.flac", "-c:a flac");
    Import(state, file);
}
BENCHMARK(BM_ImportFlac_10s48k)->Unit(benchmark::kMillisecond);

void BM_ImportFlac_10s44k(benchmark::State& state) {
    static const std::string file = TenSeconds(44100, "ten44.flac", "-c:a flac");
    Import(state, file);
}
BENCHMARK(BM_ImportFlac_10s44k)->Unit(benchmark::kMillisecond);

void BM_ImportM4a_10s44k(benchmark::State& state) {
    static const std::string file = TenSeconds(44100, "ten44.m4a", "-c:a aac -b:a 192k");
    Import(state, file);
}
BENCHMARK(BM_ImportM4a_10s44k)->Unit(benchmark::kMillisecond);

} // namespace
