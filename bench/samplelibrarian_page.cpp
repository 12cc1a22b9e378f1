// The Sample Librarian page in the editor's main window on the offscreen platform: the wave
// graph's overview of a full stereo bank and its drawing at 1x and 2x, a 10 s WAV dropped on a
// bank until the page is drawn again, and one level-meter tick (peaks read, both meters set and
// repainted) with the allocations it makes: none of the page's own; a moving bar costs Qt's
// repaint request (its update event and dirty region).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "app/CTarnHost.h"
#include "audio/CTarnAudioEngine.h"
#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfMessage.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/CHfcRecordingAudioOutput.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/framework/CEfControlHorizontalVuMeter.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/framework/CTarnControlWaveGraph.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

namespace {

std::atomic<long> allocations{0};

} // namespace

// Counts every allocation of the program, so that a benchmark can tell how many one step made.
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

void ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// A full stereo bank: every frame loaded with a changing signal, a play range over nearly the
// whole buffer (8 beats at 54.3 BPM).
void FillFullBank(CTarnSampleData& bank) {
    bank.Initialize();
    bank.SetLoadedFrames(MaxSampleFrames);
    for (int f = 0; f < MaxSampleFrames; ++f) {
        bank.SetSample(f, 0, static_cast<int16_t>((f * 37) % 60000 - 30000));
        bank.SetSample(f, 1, static_cast<int16_t>((f * 91) % 50000 - 25000));
    }
    bank.SetTempo(54.3);
    bank.SetPhraseLength(7);
}

// A 48 kHz, 16-bit stereo WAV of the given length.
std::string WriteWave(const std::string& path, int seconds) {
    const uint32_t frames = 48000u * static_cast<uint32_t>(seconds);
    const uint32_t dataBytes = frames * 4;
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes);
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    auto put16 = [&](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16(2);
    put32(48000);
    put32(48000 * 4);
    put16(4);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (uint32_t f = 0; f < frames; ++f) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>((f % 480) * 100 - 24000));
        put16(v);
        put16(static_cast<uint16_t>(-static_cast<int16_t>(v)));
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The editor's host and main window with the Sample Librarian shown, previewing into the
// recording output.
class Editor {
public:
    Editor() {
        CTarnHostServices services;
        services.preferencesStore = &store_;
        auto recording = std::make_unique<CHfcRecordingAudioOutput>();
        output = recording.get();
        services.audioOutput = std::move(recording);
        host.Initialize(std::move(services));
        CEfResourceResolver::SetDefault(&resolver_);
        window = new CTarnMainWindow(host);
        window->show();
        ProcessEvents();
        page = qobject_cast<CTarnSampleLibrarianLayer*>(window->Container()->Page(0));
        graph = page->FindControlAs<CTarnControlWaveGraph>("WaveGraph");
    }
    ~Editor() {
        delete window;
        CEfResourceResolver::SetDefault(nullptr);
    }
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    CTarnSampleData& Bank(int index) { return *host.GetAllData()->Bank(index); }

    CHfcMemoryPreferences store_;
    CTarnManagerResolver resolver_;
    CTarnHost host;
    CHfcRecordingAudioOutput* output = nullptr;
    CTarnMainWindow* window = nullptr;
    CTarnSampleLibrarianLayer* page = nullptr;
    CTarnControlWaveGraph* graph = nullptr;
};

void BM_WaveOverviewOfAFullStereoBank(benchmark::State& state) {
    Editor editor;
    FillFullBank(editor.Bank(0));
    editor.page->TakeUpBank(true);
    for (auto _ : state) {
        editor.graph->SampleChanged();
    }
    state.counters["columns"] = static_cast<double>(editor.graph->LaneColumns(0).size());
}
BENCHMARK(BM_WaveOverviewOfAFullStereoBank)->Unit(benchmark::kMillisecond);

void BM_WaveGraphDrawnFromTheOverview(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    Editor editor;
    FillFullBank(editor.Bank(0));
    editor.page->TakeUpBank(true);
    QImage image(editor.graph->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (auto _ : state) {
        editor.graph->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_WaveGraphDrawnFromTheOverview)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_TenSecondWavDroppedToRedrawnPage(benchmark::State& state) {
    Editor editor;
    const std::string path =
        WriteWave((std::filesystem::temp_directory_path() / "talvex-bench-10s.wav").string(), 10);
    CEfControl* bankD = editor.page->FindControl("BtnSampleBankD");
    CEfDragInfo info;
    info.files = {path};
    QImage image(editor.page->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        editor.page->OnEfControlDrop(bankD, info);
        // The page's own message imports the file; then the page is drawn.
        ProcessEvents();
        editor.page->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["frames"] = editor.Bank(3).GetLoadedFrames();
    std::filesystem::remove(path);
}
BENCHMARK(BM_TenSecondWavDroppedToRedrawnPage)->Unit(benchmark::kMillisecond);

void BM_MeterTick(benchmark::State& state) {
    Editor editor;
    FillFullBank(editor.Bank(0));
    editor.page->TakeUpBank(true);
    editor.page->StartPreview();
    CTarnAudioEngine& engine = *editor.host.GetAudioEngine();
    auto* left = editor.page->FindControlAs<CEfControlHorizontalVuMeter>("VuMeterL");
    auto* right = editor.page->FindControlAs<CEfControlHorizontalVuMeter>("VuMeterR");
    std::vector<uint8_t> scratch(4096 * 4);
    long tickAllocations = 0;
    long ticks = 0;
    for (auto _ : state) {
        // A short buffer rendered as the engine's thread would, so that every tick reads new
        // peaks and the bars move.
        engine.Render(512, scratch.data());
        const long before = allocations.load(std::memory_order_relaxed);
        editor.page->OnEfLayerTick(30);
        tickAllocations += allocations.load(std::memory_order_relaxed) - before;
        ++ticks;
        left->repaint();
        right->repaint();
    }
    state.counters["allocations_per_tick"] =
        static_cast<double>(tickAllocations) / static_cast<double>(std::max(ticks, 1L));
}
BENCHMARK(BM_MeterTick)->Unit(benchmark::kMicrosecond);

// The same tick while the level holds still: the page's own work, without a repaint request.
void BM_MeterTickSteadyLevel(benchmark::State& state) {
    Editor editor;
    CTarnSampleData& bank = editor.Bank(0);
    bank.Initialize();
    bank.SetLoadedFrames(48000);
    for (int f = 0; f < 48000; ++f) {
        bank.SetSample(f, 0, 12000);
        bank.SetSample(f, 1, -9000);
    }
    editor.page->TakeUpBank(true);
    editor.page->StartPreview();
    CTarnAudioEngine& engine = *editor.host.GetAudioEngine();
    std::vector<uint8_t> scratch(4096 * 4);
    long tickAllocations = 0;
    long ticks = 0;
    for (auto _ : state) {
        engine.Render(512, scratch.data());
        const long before = allocations.load(std::memory_order_relaxed);
        editor.page->OnEfLayerTick(30);
        tickAllocations += allocations.load(std::memory_order_relaxed) - before;
        ++ticks;
    }
    state.counters["allocations_per_tick"] =
        static_cast<double>(tickAllocations) / static_cast<double>(std::max(ticks, 1L));
}
BENCHMARK(BM_MeterTickSteadyLevel)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
