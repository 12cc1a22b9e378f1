#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/CTarnAudioEngine.h"
#include "data/CTarnSampleData.h"

namespace {

constexpr int kFrames = 2048;

// Renders one 2048-frame buffer of a looping 8-beat phrase at 120 BPM, the preview's default
// buffer, with the given slices switched off.
void RenderBuffer(benchmark::State& state, const std::vector<int>& slicesOff, bool playing) {
    CTarnSampleData sample;
    sample.Initialize();
    for (int f = 0; f < sample.GetEndFrame(); ++f) {
        sample.SetSample(f, 0, (f * 7) % 65536 - 32768);
        sample.SetSample(f, 1, (f * 13) % 65536 - 32768);
    }
    sample.SetLoadedFrames(sample.GetEndFrame());
    for (int k : slicesOff) {
        sample.SetSliceFlag(k, 0);
    }
    CTarnAudioEngine engine(nullptr);
    engine.LoadSample(sample);
    if (playing) {
        engine.Play();
    }
    std::vector<uint8_t> buffer(kFrames * 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.Render(kFrames, buffer.data()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}

void BM_RenderLoop(benchmark::State& state) {
    RenderBuffer(state, {}, true);
}
BENCHMARK(BM_RenderLoop);

void BM_RenderOddSlicesOff(benchmark::State& state) {
    RenderBuffer(state, {1, 3, 5, 7}, true);
}
BENCHMARK(BM_RenderOddSlicesOff);

void BM_RenderSilence(benchmark::State& state) {
    RenderBuffer(state, {}, false);
}
BENCHMARK(BM_RenderSilence);

} // namespace
