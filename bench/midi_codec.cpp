#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>
#include <random>
#include <vector>

#include "midi/CTarnSysExBuilder.h"
#include "midi/CTarnSysExPacking.h"
#include "midi/port/CHfcMidi.h"
#include "midi/port/CHfcMidiSegmentParser.h"
#include "platform/CVirtualMidiDriver.h"

namespace {

// About the largest sample data a bank holds.
constexpr size_t kDataSize = 2 * 1024 * 1024;

std::vector<uint8_t> RandomBytes(size_t n) {
    std::mt19937 rng(7);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    return bytes;
}

void BM_Pack(benchmark::State& state) {
    std::vector<uint8_t> in = RandomBytes(kDataSize);
    std::vector<uint8_t> out(CTarnSysExPacking::PackedSize(in.size()));
    for (auto _ : state) {
        CTarnSysExPacking::Pack(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Pack);

void BM_Unpack(benchmark::State& state) {
    std::vector<uint8_t> data = RandomBytes(kDataSize);
    std::vector<uint8_t> packed(CTarnSysExPacking::PackedSize(data.size()));
    CTarnSysExPacking::Pack(packed.data(), data.data(), data.size());
    for (auto _ : state) {
        CTarnSysExPacking::Unpack(data.data(), packed.data(), data.size());
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_Unpack);

class CountingSink : public CHfcMidiSegmentSink {
public:
    void OnSegmentShortMessage(const uint8_t*, size_t) override { ++shorts; }
    void OnSegmentSysExProgress(const uint8_t*, size_t) override { ++progress; }
    void OnSegmentSysExComplete(const uint8_t*, size_t length) override { completed += length; }
    void OnSegmentReceivingChanged(bool) override {}
    size_t shorts = 0;
    size_t progress = 0;
    size_t completed = 0;
};

// A 2 MB sample data dump fed in 2048-byte input segments, as the port layer receives it.
void BM_SegmentParser(benchmark::State& state) {
    std::vector<uint8_t> dump = CTarnSysExBuilder::SampleDataDump(RandomBytes(kDataSize * 7 / 8));
    CountingSink sink;
    CHfcMidiSegmentParser parser(sink);
    for (auto _ : state) {
        for (size_t pos = 0; pos < dump.size(); pos += 2048) {
            parser.Parse(dump.data() + pos, std::min<size_t>(2048, dump.size() - pos));
        }
    }
    if (sink.completed != dump.size() * state.iterations()) {
        state.SkipWithError("dump not reassembled");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dump.size()));
}
BENCHMARK(BM_SegmentParser);

class DumpWaiter : public CHfcMidiListener {
public:
    void OnHfcMidiInLongMessageReceived(CHfcMidi*, size_t, const uint8_t*) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++received_;
        }
        changed_.notify_all();
    }
    void WaitFor(size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return received_ >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t received_ = 0;
};

// The same dump from a virtual device through the port object: thread hand-offs included.
void BM_PortLayerReceive(benchmark::State& state) {
    std::vector<uint8_t> dump = CTarnSysExBuilder::SampleDataDump(RandomBytes(kDataSize * 7 / 8));
    DumpWaiter waiter;
    CVirtualMidiDriver driver;
    auto device = driver.AddDevice({}, nullptr);
    CHfcMidi midi(driver);
    midi.SetListener(&waiter);
    if (!midi.Create("bench") || !midi.MidiInOpen(0)) {
        state.SkipWithError("virtual input did not open");
        return;
    }
    size_t count = 0;
    for (auto _ : state) {
        device->SendToEditor(dump);
        waiter.WaitFor(++count);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dump.size()));
}
BENCHMARK(BM_PortLayerReceive)->UseRealTime();

} // namespace
