#include "ui/pages/samplelibrarian/TarnSampleLibrarianScreens.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/CTarnHost.h"
#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "ui/framework/CEfControlHorizontalVuMeter.h"
#include "ui/main/CTarnMainContainer.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

namespace tarn {

namespace {

// Four bars of a drum loop at 120 BPM: a low thump on every beat, a snare-like burst on beats
// two and four, and a closed hat on the off-beats, panned a little apart.
void FillDemoLoop(CTarnSampleData& bank) {
    constexpr int kBeat = 24000;
    constexpr int kBeats = 16;
    bank.Initialize();
    bank.SetLoadedFrames(kBeat * kBeats);
    uint32_t noise = 0x12345678u;
    const double pi = std::acos(-1.0);
    for (int f = 0; f < kBeat * kBeats; ++f) {
        const int beat = f / kBeat;
        const int inBeat = f % kBeat;
        noise = noise * 1664525u + 1013904223u;
        const double white = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
        const double t = inBeat / 48000.0;
        double kick =
            std::exp(-t * 9.0) * std::sin(2 * pi * (55.0 + 90.0 * std::exp(-t * 30.0)) * t);
        double snare = beat % 2 == 1 ? std::exp(-t * 16.0) * white * 0.7 : 0.0;
        const int half = (f + kBeat / 2) % kBeat;
        double hat = std::exp(-(half / 48000.0) * 60.0) * white * 0.35;
        const double left = 0.8 * kick + snare + 0.6 * hat;
        const double right = 0.8 * kick + 0.8 * snare + hat;
        bank.SetSample(f, 0, static_cast<int32_t>(std::clamp(left, -1.0, 1.0) * 30000));
        bank.SetSample(f, 1, static_cast<int32_t>(std::clamp(right, -1.0, 1.0) * 30000));
    }
    bank.SetTempo(120.0);
    bank.SetPhraseLength(8);
    bank.SetPlayLength(8);
    bank.SetPlayLevel(100);
}

// Grabs the window; with `settle`, pending events (repaints, messages) run first.
bool Save(QWidget& window, const QString& file, bool settle) {
    if (settle) {
        QApplication::processEvents();
    }
    const bool ok = window.grab().save(file);
    std::printf("%s\n", file.toLocal8Bit().constData());
    return ok;
}

} // namespace

bool SaveSampleLibrarianStates(CTarnHost& host, QWidget& window, const QString& folder,
                               const QString& suffix) {
    auto* main = qobject_cast<CTarnMainWindow*>(&window);
    CTarnAllData* all = host.GetAllData();
    auto* page =
        main ? qobject_cast<CTarnSampleLibrarianLayer*>(main->Container()->Page(0)) : nullptr;
    if (!page || !all) {
        return false;
    }
    CTarnSampleData saved;
    saved.CopyFrom(all->Bank(0));
    const int bank = host.GetBank();
    host.SetBank(0);
    FillDemoLoop(*all->Bank(0));
    page->TakeUpBank(true);
    bool ok = Save(window, folder + "/sample-librarian-loop" + suffix, true);

    // The preview as it looks while a loop plays; the screenshots run without an audio device,
    // so the button and the meters are set as playing would set them, and grabbed before a
    // layer tick could set them back.
    page->SetControlValue("BtnWavePreview", 1);
    const double levels[2] = {-4.5, -7.0};
    const double peaks[2] = {-1.5, -3.0};
    const char* const meters[2] = {"VuMeterL", "VuMeterR"};
    for (int channel = 0; channel < 2; ++channel) {
        if (auto* meter = page->FindControlAs<CEfControlHorizontalVuMeter>(meters[channel])) {
            meter->SetLevel(levels[channel]);
            meter->SetPeak(peaks[channel]);
        }
    }
    ok = Save(window, folder + "/sample-librarian-preview" + suffix, false) && ok;

    all->Bank(0)->CopyFrom(&saved);
    host.SetBank(bank);
    page->TakeUpBank(true);
    for (const char* key : meters) {
        if (auto* meter = page->FindControlAs<CEfControlHorizontalVuMeter>(key)) {
            meter->SetPeak(std::nullopt);
        }
    }
    return ok;
}

} // namespace tarn
