// The Program Memory page on the offscreen platform over the editor's own resources: a refresh of
// the whole page after the eight memories were replaced (as after Receive All or Open), the same
// followed by painting the page, and the full path of message 0 through the window's queue.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>

#include "app/CTarnHost.h"
#include "data/CTarnAllData.h"
#include "data/CTarnProgramMemoryData.h"
#include "data/CTarnProgramMemorySet.h"
#include "framework/CEfMessage.h"
#include "platform/CHfcMemoryPreferences.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/pages/programmemory/CTarnProgramMemoryLayer.h"

namespace {

// The editor's window showing the page, and two sets of memories that differ in every shown
// value, swapped in turn into the edited data.
class Editor {
public:
    Editor() {
        CTarnHostServices services;
        services.preferencesStore = &store_;
        host_.Initialize(std::move(services));
        CEfResourceResolver::SetDefault(&resolver_);
        window_ = std::make_unique<CTarnMainWindow>(host_);
        window_->show();
        host_.SetPage(CTarnProgramMemoryLayer::kPageNumber);
        QApplication::processEvents();
        page_ = qobject_cast<CTarnProgramMemoryLayer*>(
            window_->Container()->Page(CTarnProgramMemoryLayer::kPageNumber));
        for (int i = 0; i < 8; ++i) {
            CTarnProgramMemoryData* memory = other_.Memory(i);
            memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamProgram), 249 - i);
            memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamScale), 35 - i);
            memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamKey), 24 - i);
            memory->SetParameter(ParamAddress(CTarnProgramMemoryData::kParamNoteRange), 5);
        }
        original_.CopyFrom(&Programs());
    }
    ~Editor() {
        window_.reset();
        CEfResourceResolver::SetDefault(nullptr);
    }

    CTarnProgramMemorySet& Programs() { return host_.GetAllData()->Programs(); }
    // Replaces the eight memories by the other set.
    void Swap() {
        flip_ = !flip_;
        Programs().CopyFrom(flip_ ? &other_ : &original_);
    }
    CTarnHost& Host() { return host_; }
    CTarnProgramMemoryLayer* Page() { return page_; }

private:
    CHfcMemoryPreferences store_;
    CTarnManagerResolver resolver_;
    CTarnHost host_;
    std::unique_ptr<CTarnMainWindow> window_;
    CTarnProgramMemoryLayer* page_ = nullptr;
    CTarnProgramMemorySet other_;
    CTarnProgramMemorySet original_;
    bool flip_ = false;
};

// Created in main, after the application object and destroyed before it.
Editor* theEditor = nullptr;

Editor& TheEditor() {
    return *theEditor;
}

void BM_RefreshWholePage(benchmark::State& state) {
    Editor& editor = TheEditor();
    for (auto _ : state) {
        state.PauseTiming();
        editor.Swap();
        state.ResumeTiming();
        editor.Page()->Refresh();
    }
}
BENCHMARK(BM_RefreshWholePage)->Unit(benchmark::kMicrosecond);

void BM_RefreshAndPaintWholePage(benchmark::State& state) {
    Editor& editor = TheEditor();
    QImage image(700, 439, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        editor.Swap();
        state.ResumeTiming();
        editor.Page()->Refresh();
        QPainter painter(&image);
        editor.Page()->render(&painter);
    }
}
BENCHMARK(BM_RefreshAndPaintWholePage)->Unit(benchmark::kMicrosecond);

void BM_MessageZeroThroughTheWindow(benchmark::State& state) {
    Editor& editor = TheEditor();
    for (auto _ : state) {
        state.PauseTiming();
        editor.Swap();
        state.ResumeTiming();
        editor.Host().PostMessage(kMsgRefreshAll);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MessageZeroThroughTheWindow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Editor editor;
    theEditor = &editor;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
