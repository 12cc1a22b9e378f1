// The Sample Librarian's preview: starting and stopping it through the host's audio engine, the
// engine's notifications and the two level meters.
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/CTarnHost.h"
#include "audio/CTarnAudioEngine.h"
#include "data/CTarnSampleData.h"
#include "framework/CTarnMessageBox.h"
#include "framework/EfTrace.h"
#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"
#include "ui/pages/samplelibrarian/TarnSampleLibrarianValues.h"

namespace {

// "Failed to open the audio output device."
constexpr int kMessageAudioDevice = 36;

const char* const kMeterKeys[2] = {"VuMeterL", "VuMeterR"};

} // namespace

bool CTarnSampleLibrarianLayer::IsPreviewing() const {
    CTarnAudioEngine* engine = Engine();
    return engine && engine->IsPlaying();
}

bool CTarnSampleLibrarianLayer::StartPreview() {
    CTarnAudioEngine* engine = Engine();
    const CTarnSampleData* bank = Bank();
    if (!engine || !bank) {
        EfTrace("Failed to get audio engine.");
        return false;
    }
    // The stream may have failed when the page was built or since; Start and Play try to open
    // the device again.
    bool started = engine->IsStreaming() || engine->Start();
    if (started) {
        engine->LoadSample(*bank);
        started = engine->Play();
    }
    if (!started) {
        engine->StopPlaying();
        // Told once; the rest of the page goes on working without sound.
        if (!deviceFailureShown_) {
            deviceFailureShown_ = true;
            CTarnMessageBox::Show(kMessageAudioDevice, CTarnMessageBox::kErrorStyle);
        }
    }
    UpdatePreviewButton();
    return started;
}

void CTarnSampleLibrarianLayer::StopPreview() {
    if (CTarnAudioEngine* engine = Engine()) {
        engine->StopPlaying();
    }
    UpdatePreviewButton();
}

void CTarnSampleLibrarianLayer::TogglePreview() {
    if (IsPreviewing()) {
        StopPreview();
    } else {
        StartPreview();
    }
}

void CTarnSampleLibrarianLayer::UpdatePreviewButton() {
    SetControlValue("BtnWavePreview", IsPreviewing() ? 1 : 0);
}

void CTarnSampleLibrarianLayer::OnUserInterfaceThread(
    void (CTarnSampleLibrarianLayer::*handler)()) {
    // The engine reports from its rendering thread; widgets are touched only on their own.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, handler] { (this->*handler)(); }, Qt::QueuedConnection);
        return;
    }
    (this->*handler)();
}

void CTarnSampleLibrarianLayer::OnTarnHostPreviewEnded() {
    OnUserInterfaceThread(&CTarnSampleLibrarianLayer::PreviewEnded);
}

void CTarnSampleLibrarianLayer::OnTarnHostPreviewLooped() {
    OnUserInterfaceThread(&CTarnSampleLibrarianLayer::PreviewLooped);
}

void CTarnSampleLibrarianLayer::PreviewEnded() {
    StopPreview();
}

void CTarnSampleLibrarianLayer::PreviewLooped() {
    tapQueue_.Clear();
}

void CTarnSampleLibrarianLayer::UpdateMeters(int elapsedMs) {
    CTarnAudioEngine* engine = Engine();
    const CTarnSampleData* bank = Bank();
    if (!engine || !bank) {
        return;
    }
    const int32_t fullScale = bank->GetMaxSampleValue();
    const double fall = kMeterReleaseDbPerMs * std::max(elapsedMs, 0);
    for (int channel = 0; channel < 2; ++channel) {
        const double measured = tarn::PeakDecibels(engine->ReadPeak(channel), fullScale);
        double& shown = meterLevels_[static_cast<size_t>(channel)];
        shown = std::max(measured, shown - fall);
        if (shown < kMeterMinimumDb) {
            shown = -std::numeric_limits<double>::infinity();
        }
        if (auto* meter = FindControlAs<CEfControlHorizontalVuMeter>(kMeterKeys[channel])) {
            meter->SetLevel(shown);
        }
    }
}
