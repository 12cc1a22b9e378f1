// The ALSA MIDI backend moving a full loop-recorder bank over the kernel model of tests/alsa
// (linked in place of libasound): transmit at DIN and USB speed on the virtual clock (reported
// time is the model's), and receive at 1 MB/s in real time against the kernel's input FIFO.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "FakeAlsa.h"
#include "midi/CTarnSysExBuilder.h"
#include "midi/port/CHfcMidi.h"
#include "midi/port/CHfcMidiListener.h"
#include "platform/CHfcMidiOutputSink.h"
#include "platform/alsa/CAlsaMidiDriver.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FullBankDump() {
    Bytes data(424960 * 4);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
    }
    return CTarnSysExBuilder::SampleDataDump(data);
}

class DoneCounter : public CHfcMidiOutputSink {
public:
    void OnHfcMidiOutputDone(size_t) override {
        std::lock_guard<std::mutex> lock(mutex);
        ++done;
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    size_t done = 0;
};

// args: byte rate; 1 through the raw device, 0 through paced sequencer events
void BM_TransmitFullBank(benchmark::State& state) {
    const size_t rate = static_cast<size_t>(state.range(0));
    const bool raw = state.range(1) != 0;
    const Bytes dump = FullBankDump();
    double virtualSeconds = 0;
    fake_alsa::Stats stats;
    for (auto _ : state) {
        fake_alsa::Reset(rate, 0);
        fake_alsa::SetRawMidiBusy(!raw);
        CAlsaMidiDriver::Options options;
        options.clock = &fake_alsa::Clock();
        options.hardwareBytesPerSecond = rate;
        CAlsaMidiDriver driver(options);
        DoneCounter sink;
        std::string error;
        auto port = driver.OpenOutput(0, sink, error);
        size_t pieces = 0;
        for (size_t pos = 0; pos < dump.size(); pos += 128, ++pieces) {
            port->Send(dump.data() + pos, std::min<size_t>(128, dump.size() - pos));
        }
        {
            std::unique_lock<std::mutex> lock(sink.mutex);
            sink.changed.wait(lock, [&] { return sink.done == pieces; });
        }
        virtualSeconds = std::chrono::duration<double>(fake_alsa::Now()).count();
        port.reset();
        stats = fake_alsa::GetStats();
        state.SetIterationTime(virtualSeconds);
    }
    const double expected = static_cast<double>(dump.size()) / static_cast<double>(rate);
    state.counters["bytes"] = static_cast<double>(dump.size());
    state.counters["virtual_s"] = virtualSeconds;
    state.counters["size_over_rate_s"] = expected;
    state.counters["deviation_pct"] = (virtualSeconds - expected) / expected * 100.0;
    state.counters["dropped"] = static_cast<double>(stats.droppedBytes);
    state.counters["wire_bytes"] = static_cast<double>(stats.wireBytes);
}
BENCHMARK(BM_TransmitFullBank)
    ->Args({3125, 1})
    ->Args({100000, 1})
    ->Args({3125, 0})
    ->Args({100000, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

class Collector : public CHfcMidiListener {
public:
    void OnHfcMidiInLongMessageReceived(CHfcMidi*, size_t n, const uint8_t*) override {
        std::lock_guard<std::mutex> lock(mutex);
        received = n;
        changed.notify_all();
    }
    void OnHfcMidiInOverrun(CHfcMidi*) override { ++overruns; }
    std::mutex mutex;
    std::condition_variable changed;
    size_t received = 0;
    std::atomic<int> overruns{0};
};

// The instrument sends a full bank at 1 MB/s (real time), in the 256-byte events the kernel
// makes of USB input, into the editor's FIFO.
void BM_ReceiveFullBankAt1MBps(benchmark::State& state) {
    const Bytes dump = FullBankDump();
    Collector collector;
    fake_alsa::Stats stats;
    for (auto _ : state) {
        fake_alsa::Reset(3125, 0);
        CAlsaMidiDriver::Options options;
        options.clock = &fake_alsa::Clock();
        CAlsaMidiDriver driver(options);
        CHfcMidi midi(driver);
        midi.SetListener(&collector);
        midi.Create("bench");
        midi.MidiInOpen(0);
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        for (size_t pos = 0; pos < dump.size(); pos += 256) {
            std::this_thread::sleep_until(start + std::chrono::microseconds(pos));
            fake_alsa::DeliverFromHardware(
                {Bytes(dump.begin() + pos, dump.begin() + std::min(dump.size(), pos + 256))});
        }
        std::unique_lock<std::mutex> lock(collector.mutex);
        collector.changed.wait_for(lock, std::chrono::seconds(10),
                                   [&] { return collector.received == dump.size(); });
        stats = fake_alsa::GetStats();
    }
    state.counters["bytes"] = static_cast<double>(dump.size());
    state.counters["complete"] = collector.received == dump.size() ? 1 : 0;
    state.counters["overruns"] = collector.overruns.load();
    state.counters["fifo_refused_events"] = static_cast<double>(stats.editorOverflows);
    state.counters["pool_cells"] = static_cast<double>(stats.editorPoolCells);
    state.counters["fifo_peak_cells"] = static_cast<double>(stats.editorFifoPeak);
}
BENCHMARK(BM_ReceiveFullBankAt1MBps)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
