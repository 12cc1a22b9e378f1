// Drawing costs of the layer and control framework on the offscreen platform: a layer with one
// control of every kind painted at 1x and 2x, the wave graph's column rebuild over a full bank
// and its repaint, and a level meter set on every tick without moving.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "data/CTarnSampleData.h"
#include "framework/CEfFontInfo.h"
#include "framework/CEfImage.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/framework/CTarnLayerBase.h"

namespace {

// Pictures and fonts made in memory under the names the descriptions use.
class Resources : public CEfResourceResolver {
public:
    explicit Resources(int scale) : scale_(scale) {
        Strip("Button", 40, 40, 3);
        Strip("Small", 12, 8, 3);
        Strip("Check", 14, 14, 3);
        Strip("Pattern", 60, 30, 8);
        Strip("Meter", 200, 6, 2);
        Strip("Wave", 1, 60, 1);
        Strip("BG", 700, 439, 1);
        auto image = std::make_unique<CEfImage>();
        image->scale = scale;
        image->width = 11 * scale;
        image->height = 128 * 12 * scale;
        image->pixels.assign(static_cast<size_t>(image->width) * image->height, 0xffffffff);
        font_.image = image.get();
        font_.lineHeight = 12;
        font_.glyphHeight = 12;
        font_.widths.fill(6);
        images_["font"] = std::move(image);
        list_ = {"[00] OFF", "[01] CHR", "[02] MAJ"};
        SetDefault(this);
    }
    ~Resources() override { SetDefault(nullptr); }
    const CEfImage* GetImage(const std::string& name) override {
        auto it = images_.find(name);
        return it != images_.end() ? it->second.get() : nullptr;
    }
    const CEfFontInfo* GetFontInfo(const std::string&) override { return &font_; }
    int GetStringCount(const std::string&) override { return static_cast<int>(list_.size()); }
    const std::string* GetString(const std::string&, int index) override {
        return index >= 0 && index < static_cast<int>(list_.size()) ? &list_[index] : nullptr;
    }
    std::string GetMimeType(const std::string&) override { return {}; }

private:
    void Strip(const std::string& name, int w, int h, int states) {
        auto image = std::make_unique<CEfImage>();
        image->scale = scale_;
        image->width = w * scale_;
        image->height = h * states * scale_;
        image->pixels.assign(static_cast<size_t>(image->width) * image->height, 0xff336699);
        images_[name] = std::move(image);
    }
    int scale_;
    std::map<std::string, std::unique_ptr<CEfImage>> images_;
    CEfFontInfo font_;
    std::vector<std::string> list_;
};

void FillBank(CTarnSampleData& bank) {
    bank.Initialize();
    for (int frame = 0; frame < MaxSampleFrames; ++frame) {
        const int value = static_cast<int>(30000 * std::sin(frame * 0.01));
        bank.SetSample(frame, 0, value);
        bank.SetSample(frame, 1, -value);
    }
    bank.SetTempo(20.0);
    bank.SetPhraseLength(5);
    bank.SetLoadedFrames(MaxSampleFrames);
}

struct Page {
    explicit Page(int scale) : resources(scale) {
        layer.SetLayerRect(QRect(0, 0, 700, 439));
        layer.SetBackgroundImage("BG");
        const CTarnButton::Description buttons[] = {
            {"B1", 0, 0, "Button"},   {"B2", 50, 0, "Button"},  {"B3", 100, 0, "Button"},
            {"B4", 150, 0, "Button"}, {"B5", 200, 0, "Button"}, {"B6", 250, 0, "Button"},
            {"B7", 300, 0, "Button"}, {"B8", 350, 0, "Button"}};
        const CTarnStaticText::Description texts[] = {
            {"T1", 0, 60, 200, 0, "F", "[L.000]  Pulse Verb"},
            {"T2", 0, 80, 200, 0, "F", "[A.040]  Vibraphone"}};
        const CEfControlValueParameter::Description values[] = {
            {"V1", 0, 100, 70, 20, "F", "Small", "Small", 0, 127, 0}};
        const CTarnPopupParameter::Description popups[] = {
            {"P1", 100, 100, 120, "F", "Small", "L", "L"}};
        const CTarnCheckBox::Description boxes[] = {{"C1", 250, 100, "Check", "F", "System Ex"}};
        const CTarnControlWaveGraph::Description graphs[] = {{"W", 0, 130, 400, 120, "Wave"}};
        const CEfControlBitmapList::Description lists[] = {{"BL", 450, 130, "Pattern", 8}};
        const CEfControlHorizontalVuMeter::Description meters[] = {
            {"VL", 0, 270, 200, 6, "Meter", -48.0, 0.0},
            {"VR", 0, 280, 200, 6, "Meter", -48.0, 0.0}};
        layer.CreateOnOffButtons(buttons);
        layer.CreateStaticTexts(texts);
        layer.CreateValueParameters(values);
        layer.CreatePopupParameters(popups);
        layer.CreateCheckBoxes(boxes);
        layer.CreateWaveGraphs(graphs);
        layer.CreateBitmapLists(lists);
        layer.CreateVuMeters(meters);
        FillBank(bank);
        graph()->SetSample(&bank);
    }
    CTarnControlWaveGraph* graph() { return layer.FindControlAs<CTarnControlWaveGraph>("W"); }

    Resources resources;
    CTarnLayerBase layer;
    CTarnSampleData bank;
};

void BM_PaintLayer(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    Page page(scale);
    QImage image(QSize(700, 439) * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (auto _ : state) {
        page.layer.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintLayer)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_WaveGraphRebuild(benchmark::State& state) {
    Page page(1);
    for (auto _ : state) {
        page.graph()->SampleChanged();
    }
}
BENCHMARK(BM_WaveGraphRebuild)->Unit(benchmark::kMillisecond);

void BM_WaveGraphRepaint(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    Page page(scale);
    QImage image(QSize(400, 120) * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (auto _ : state) {
        page.graph()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_WaveGraphRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_MeterTickWithoutMovement(benchmark::State& state) {
    Page page(1);
    auto* meter = page.layer.FindControlAs<CEfControlHorizontalVuMeter>("VL");
    double level = -12.0;
    for (auto _ : state) {
        level = level == -12.0 ? -12.01 : -12.0;
        meter->SetLevel(level);
        page.layer.DeliverTick(30);
    }
}
BENCHMARK(BM_MeterTickWithoutMovement);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
