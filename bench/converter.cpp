#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "audio/CFsConverter.h"
#include "audio/CTarnRateConverter.h"
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
// filter, clipping, the new 48 kHz buffer; once per kernel (all give the same bytes) and with
// the loop flag off and on.
void BM_ConvertTo48k(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    if (!CFsConverter::IsModeSupported(mode)) {
        state.SkipWithError("mode not supported by this CPU");
        return;
    }
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
    source.SetLoopFlag(static_cast<int>(state.range(1)));
    const int previous = CFsConverter::LimitAutoMode(mode);
    CTarnSampleData bank;
    for (auto _ : state) {
        state.PauseTiming();
        bank.CopyFrom(&source);
        state.ResumeTiming();
        benchmark::DoNotOptimize(bank.ConvertTo48k(false));
    }
    CFsConverter::LimitAutoMode(previous);
}
BENCHMARK(BM_ConvertTo48k)
    ->ArgsProduct({{CFsConverter::kModeScalar, CFsConverter::kModeSse2, CFsConverter::kModeAvx2},
                   {0, 1}})
    ->ArgNames({"mode", "loop"})
    ->Unit(benchmark::kMillisecond);

// The general converter on 10 s of stereo at the given source rate (the design is made before
// the timing starts and kept between conversions).
void BM_RateConverterTenSeconds(benchmark::State& state) {
    const auto rate = static_cast<uint32_t>(state.range(0));
    const size_t frames = size_t{rate} * 10;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> input(frames * 2);
    for (float& v : input) {
        v = dist(rng);
    }
    benchmark::DoNotOptimize(CTarnRateConverter::To48k(input.data(), 100, 2, rate));
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTarnRateConverter::To48k(input.data(), frames, 2, rate));
    }
}
BENCHMARK(BM_RateConverterTenSeconds)
    ->Arg(96000)
    ->Arg(192000)
    ->Arg(88200)
    ->Arg(22050)
    ->Arg(8000)
    ->Arg(44056)
    ->ArgName("rate")
    ->Unit(benchmark::kMillisecond);

// Designing the general converter's filter for a rate (ratios with a large up-sampling factor
// build an interpolation prototype); alternating rates defeat the kept design.
void BM_RateConverterDesign(benchmark::State& state) {
    const auto rate = static_cast<uint32_t>(state.range(0));
    const std::vector<float> input(16, 0.0f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTarnRateConverter::To48k(input.data(), 8, 2, rate));
        benchmark::DoNotOptimize(CTarnRateConverter::To48k(input.data(), 8, 2, 24000));
    }
}
BENCHMARK(BM_RateConverterDesign)
    ->Arg(96000)
    ->Arg(44056)
    ->ArgName("rate")
    ->Unit(benchmark::kMillisecond);

} // namespace
