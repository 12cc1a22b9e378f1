#include "SampleLibrarianFixture.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>

#include "data/CTarnAllData.h"
#include "data/CTarnSampleData.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CVirtualMidiDriver.h"
#include "sim/CTarnVirtualInstrumentDevice.h"
#include "ui/framework/CEfResourceResolver.h"
#include "ui/main/CTarnMainContainer.h"

void SampleLibrarianFixture::SetUp() {
    instrument = std::make_unique<CTarnVirtualInstrumentSession>();
    std::string error;
    ASSERT_TRUE(instrument->Open("", error)) << error;
    CHfcMidiSystem::SetDriver(&instrument->Driver());

    host = std::make_unique<CTarnHost>();
    CTarnHostServices services;
    services.preferencesStore = &store;
    services.midiDriver = &instrument->Driver();
    services.decoder = decoder;
    auto recording = std::make_unique<CHfcRecordingAudioOutput>();
    output = recording.get();
    services.audioOutput = std::move(recording);
    services.postToUserInterface = [](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    };
    ASSERT_TRUE(host->Initialize(std::move(services)));
    CEfResourceResolver::SetDefault(&resolver);
    window = new CTarnMainWindow(*host);
    window->show();
    ProcessEvents();
    page = qobject_cast<CTarnSampleLibrarianLayer*>(window->Container()->Page(0));
    ASSERT_NE(page, nullptr);
}

void SampleLibrarianFixture::TearDown() {
    delete window;
    window = nullptr;
    page = nullptr;
    CEfResourceResolver::SetDefault(nullptr);
    host.reset();
    // Notifications still queued for the host that is gone find none and do nothing.
    ProcessEvents();
    CHfcMidiSystem::SetDriver(nullptr);
    if (instrument) {
        std::string error;
        instrument->Close(error);
    }
}

void SampleLibrarianFixture::ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

bool SampleLibrarianFixture::WaitFor(const std::function<bool()>& condition,
                                     std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

CEfControl* SampleLibrarianFixture::Control(const std::string& key) const {
    CEfControl* control = page->FindControl(key);
    EXPECT_NE(control, nullptr) << key;
    return control;
}

CTarnSampleData* SampleLibrarianFixture::BankData(int bank) const {
    return host->GetAllData()->Bank(bank);
}

CTarnVirtualInstrument& SampleLibrarianFixture::Instrument() const {
    return instrument->Instrument().Instrument();
}

void SampleLibrarianFixture::Fill(CTarnSampleData& bank, int frames, int16_t left, int16_t right,
                                  double tempo) {
    bank.Initialize();
    bank.SetLoadedFrames(frames);
    for (int f = 0; f < frames; ++f) {
        bank.SetSample(f, 0, left);
        bank.SetSample(f, 1, right);
    }
    bank.SetTempo(tempo);
}

std::vector<uint8_t> SampleLibrarianFixture::Block(const CTarnSampleData& bank) {
    std::vector<uint8_t> block(static_cast<size_t>(bank.GetBlockDataSize()));
    EXPECT_TRUE(bank.GetBlockData(block.data(), static_cast<int>(block.size()), 0));
    return block;
}

std::vector<std::string> SampleLibrarianFixture::AlertTexts() const {
    std::vector<std::string> texts;
    for (const auto& alert : alerts.alerts) {
        texts.push_back(alert.text);
    }
    return texts;
}

CEfDragInfo SampleLibrarianFixture::Drag(const QMimeData* data, Qt::KeyboardModifiers modifiers,
                                         const CEfControl* source) {
    return CEfDragInfo::From(data, modifiers, source, &resolver);
}

CEfDragInfo SampleLibrarianFixture::FilesDrag(std::vector<std::string> files) {
    CEfDragInfo info;
    info.files = std::move(files);
    return info;
}
