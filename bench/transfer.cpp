// Receive All and Transmit All of four full loop-recorder banks (about 7.8 MB of SysEx) through
// the real port layer and the in-process MIDI system, with no wire-speed limit.

#include <benchmark/benchmark.h>

#include <random>

#include "app/CTarnPreferencesData.h"
#include "data/CTarnAllData.h"
#include "framework/EfByteOrder.h"
#include "midi/CTarnMidiManager.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/CVirtualMidiDriver.h"
#include "sim/CTarnSimMemoryIo.h"
#include "sim/CTarnVirtualInstrumentDevice.h"

namespace {

// A bank as full as the instrument holds: 16 beats at 108.5 BPM, 424704 frames.
void FillFullBank(CTarnSampleData& sample, uint32_t seed) {
    constexpr int kFrames = 424704;
    uint8_t header[16] = {};
    ef::WriteBE32(header + 4, static_cast<uint32_t>(kFrames) << 10);
    ef::WriteBE16(header + 8, 1085);
    header[12] = 0x88;
    header[15] = 127;
    std::vector<uint8_t> data(size_t(kFrames + 1) * 4, 0);
    std::mt19937 random(seed);
    for (size_t i = 0; i + 4 < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(random());
    }
    sample.SetNativeData(header, data.data(), static_cast<int>(data.size()));
}

struct Rig {
    Rig() : preferences(store), instrument(driver), manager(preferences, driver) {
        preferences.ReadAll();
        manager.Initialize();
        data.Reset();
        for (int b = 0; b < 4; ++b) {
            FillFullBank(*data.Bank(b), 100 + b);
        }
        instrument.Instrument().SetMemory(CTarnSimMemoryIo::FromAllData(data));
    }
    CVirtualMidiDriver driver;
    CHfcMemoryPreferences store;
    CTarnPreferencesData preferences;
    CTarnVirtualInstrumentDevice instrument;
    CTarnMidiManager manager;
    CTarnAllData data;
};

void BM_ReceiveAllFullBanks(benchmark::State& state) {
    Rig rig;
    CTarnAllData target;
    target.Reset();
    for (auto _ : state) {
        if (!rig.manager.ReceiveAllData(&target)) {
            state.SkipWithError("receive failed");
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 4 *
                            rig.data.Bank(0)->GetNativeDataSize());
}
BENCHMARK(BM_ReceiveAllFullBanks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_TransmitAllFullBanks(benchmark::State& state) {
    Rig rig;
    for (auto _ : state) {
        if (!rig.manager.TransmitAllData(&rig.data)) {
            state.SkipWithError("transmit failed");
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 4 *
                            rig.data.Bank(0)->GetNativeDataSize());
}
BENCHMARK(BM_TransmitAllFullBanks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
