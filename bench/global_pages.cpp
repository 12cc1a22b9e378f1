// The Global page on the offscreen platform over the editor's own resources: a refresh of each
// tab (and of each parameter layer of the External Controller tab) after the global data was
// replaced, as after Receive or Load; and switching tabs and parameter layers, each the first
// time (creation included) and again, up to the window painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <memory>

#include "app/CTarnHost.h"
#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "platform/CHfcMemoryPreferences.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/pages/global/CTarnExtCtrlContainer.h"
#include "ui/pages/global/CTarnExtCtrlParamLayerBase.h"
#include "ui/pages/global/CTarnGlobalContainer.h"
#include "ui/pages/global/CTarnGlobalExtCtrlLayer.h"
#include "ui/pages/global/CTarnGlobalTabLayer.h"

namespace {

// Rows that show the four parameter layers: switch, slider, XY pad, pad note.
constexpr int kRowOfKind[] = {0, 14, 16, 17};

// The editor's window showing the Global page, and a global image differing from the factory
// one in every field the pages show.
class Editor {
public:
    Editor() {
        CTarnHostServices services;
        services.preferencesStore = &store_;
        host_.Initialize(std::move(services));
        CEfResourceResolver::SetDefault(&resolver_);
        window_ = std::make_unique<CTarnMainWindow>(host_);
        window_->show();
        host_.SetPage(CTarnGlobalContainer::kPageNumber);
        QApplication::processEvents();
        for (int i = 0; i < CTarnGlobalData::kImageSize; ++i) {
            other_[i] = static_cast<uint8_t>(CTarnGlobalData::FactoryImage()[i] ^ 0x55);
        }
    }
    ~Editor() {
        window_.reset();
        CEfResourceResolver::SetDefault(nullptr);
    }

    CTarnHost& Host() { return host_; }
    CTarnMainWindow& Window() { return *window_; }
    CTarnGlobalContainer& Page() {
        return *qobject_cast<CTarnGlobalContainer*>(
            window_->Container()->Page(CTarnGlobalContainer::kPageNumber));
    }
    void Swap() {
        flip_ = !flip_;
        host_.GetAllData()->Global().SetNativeData(flip_ ? other_
                                                         : CTarnGlobalData::FactoryImage().data());
    }
    // Shows a fresh page (no tab or parameter layer created yet) on tab 1 with the switch layer.
    void NewPage() {
        host_.SetGlobalTab(1);
        host_.SelectExtController(0);
        host_.SetExtCtrlLayerKind(0);
        window_.reset();
        window_ = std::make_unique<CTarnMainWindow>(host_);
        window_->show();
        QApplication::processEvents();
    }
    void Paint() { window_->ContentArea()->repaint(); }

private:
    CHfcMemoryPreferences store_;
    CTarnManagerResolver resolver_;
    CTarnHost host_;
    std::unique_ptr<CTarnMainWindow> window_;
    uint8_t other_[CTarnGlobalData::kImageSize] = {};
    bool flip_ = false;
};

Editor* editor = nullptr;

// Argument: tab 0 or 2, or 10 + kind for the External Controller tab with that parameter layer.
void BM_RefreshPage(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    if (which >= 10) {
        editor->Host().SetGlobalTab(1);
        editor->Page().ExtCtrl()->List()->Select(kRowOfKind[which - 10]);
    } else {
        editor->Host().SetGlobalTab(which);
    }
    QApplication::processEvents();
    for (auto _ : state) {
        editor->Swap();
        // What message 3 does to the shown page: header, tab and parameter layer.
        editor->Page().OnEfLayerShown();
    }
}
BENCHMARK(BM_RefreshPage)
    ->Arg(0)
    ->Arg(2)
    ->Arg(10)
    ->Arg(11)
    ->Arg(12)
    ->Arg(13)
    ->Unit(benchmark::kMicrosecond);

// Argument: tab 0 or 2 from tab 1; first creation on a fresh page, up to the painted window.
void BM_SwitchTabFirstTime(benchmark::State& state) {
    const int tab = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        editor->NewPage();
        state.ResumeTiming();
        editor->Host().SetGlobalTab(tab);
        editor->Paint();
    }
}
BENCHMARK(BM_SwitchTabFirstTime)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// Tabs already created: back and forth between tab 0 and 2.
void BM_SwitchTabAgain(benchmark::State& state) {
    editor->Host().SetGlobalTab(0);
    editor->Host().SetGlobalTab(2);
    int tab = 0;
    for (auto _ : state) {
        editor->Host().SetGlobalTab(tab);
        editor->Paint();
        tab = 2 - tab;
    }
}
BENCHMARK(BM_SwitchTabAgain)->Unit(benchmark::kMillisecond);

// Argument: parameter-layer kind 1 to 3 from the switch layer, first creation on a fresh page.
void BM_SwitchParamLayerFirstTime(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        editor->NewPage();
        CTarnGlobalExtCtrlLayer* list = editor->Page().ExtCtrl()->List();
        state.ResumeTiming();
        list->Select(kRowOfKind[kind]);
        editor->Paint();
    }
}
BENCHMARK(BM_SwitchParamLayerFirstTime)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Editor shared;
    editor = &shared;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    editor = nullptr;
    return 0;
}
