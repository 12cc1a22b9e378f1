#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "audio/CFsConverter.h"
#include "data/CTarnSampleData.h"

// The longest 44.1 kHz phrase a bank takes: 390432 frames become the full 424960 at 48 kHz.
namespace {

constexpr int kFullBank441 = 390432;
constexpr int kBlock = 32768;

void Design48k(CFsConverter& converter) {
    converter.SetAttenuation(120.0);
    converter.Design(15361, 44100, 22050, 160, 147);
}

// A fresh design each time: converters keep the last design for reuse, so the attenuation
// alternates to measure the computation itself.
void BM_Design(benchmark::State& state) {
    CFsConverter converter(2, CFsConverter::kModeScalar);
    bool flip = false;
    for (auto _ : state) {
        converter.SetAttenuation(flip ? 120.0 : 119.0);
        flip = !flip;
        converter.Design(15361, 44100, 22050, 160, 147);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Design)->Unit(benchmark::kMillisecond);

// The converter alone on a full bank, fed in the driver's blocks of 32768 frames.
void BM_Process(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    if (!CFsConverter::IsModeSupported(mode)) {
        state.SkipWithError("mode not supported by this CPU");
        return;
    }
    CFsConverter converter(2, mode);
    Design48k(converter);
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> left(kFullBank441);
    std::vector<float> right(kFullBank441);
    for (int i = 0; i < kFullBank441; ++i) {
        left[static_cast<size_t>(i)] = dist(rng);
        right[static_cast<size_t>(i)] = dist(rng);
    }
    std::vector<float> outLeft(static_cast<size_t>(converter.MaxOutputFrames(kBlock)));
    std::vector<float> outRight(outLeft.size());
    for (auto _ : state) {
        converter.Reset();
        for (int start = 0; start < kFullBank441; start += kBlock) {
            const float* in[2] = {left.data() + start, right.data() + start};
            float* out[2] = {outLeft.data(), outRight.data()};
            const int count = std::min(kBlock, kFullBank441 - start);
            benchmark::DoNotOptimize(converter.Process(in, out, count));
        }
    }
}
BENCHMARK(BM_Process)
    ->Arg(CFsConverter::kModeScalar)
    ->Arg(CFsConverter::kModeSse2)
    ->Arg(CFsConverter::kModeAvx2)
    ->ArgName("mode")
    ->Unit(benchmark::kMillisecond);

// The whole driver on a full 44.1 kHz bank with the filter already designed: sample conversion,
// filter, clipping, the new 48 kHz buffer.
void BM_ConvertTo48k(benchmark::State& state) {
    CTarnSampleData source;
    source.Initialize();
    source.SetSamplingRate(44100, false);
    source.SetFrameCount(MaxSampleFrames, false);
    source.Reallocate();
    std::mt19937 rng(2);
    std::uniform_int_distribution<int> dist(-20000, 20000);
    for (int f = 0; f < kFullBank441; ++f) {
        source.SetSample(f, 0, dist(rng));
        source.SetSample(f, 1, dist(rng));
    }
    source.SetLoadedFrames(kFullBank441);
    CTarnSampleData bank;
    for (auto _ : state) {
        state.PauseTiming();
        bank.CopyFrom(&source);
        state.ResumeTiming();
        benchmark::DoNotOptimize(bank.ConvertTo48k(false));
    }
}
BENCHMARK(BM_ConvertTo48k)->Unit(benchmark::kMillisecond);

} // namespace
