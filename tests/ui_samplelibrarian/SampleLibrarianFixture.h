#pragma once

#include <gtest/gtest.h>

#include <QMimeData>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CTarnHost.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/CHfcRecordingAudioOutput.h"
#include "sim/CTarnVirtualInstrumentSession.h"
#include "support/RecordingAlertPresenter.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"
#include "ui/app/CTarnManagerResolver.h"
#include "ui/framework/CEfDragInfo.h"
#include "ui/main/CTarnMainWindow.h"
#include "ui/pages/samplelibrarian/CTarnSampleLibrarianLayer.h"

class CHfcCompressedAudioDecoder;
class CTarnSampleData;
class CTarnVirtualInstrument;

// The editor's main window on the offscreen platform with the Sample Librarian shown: a host
// with its resource services, the virtual instrument at the end of the MIDI cable, the
// recording audio output under the preview engine (engine notifications handed to the
// user-interface thread through the Qt event queue, as in the editor), recording message boxes
// and scripted file dialogs.
class SampleLibrarianFixture : public ::testing::Test {
protected:
    static constexpr int kYes = 2;
    static constexpr int kNo = 3;

    void SetUp() override;
    void TearDown() override;

    // Lets queued events (messages, engine notifications) run.
    static void ProcessEvents();
    // Runs queued events until the condition holds or the time-out passes; whether it holds.
    static bool WaitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

    CEfControl* Control(const std::string& key) const;
    CTarnSampleData* BankData(int bank) const;
    CTarnVirtualInstrument& Instrument() const;
    // Fills a bank with `frames` frames of a constant left and right value at a tempo.
    static void Fill(CTarnSampleData& bank, int frames, int16_t left, int16_t right,
                     double tempo = 120.0);
    // The bank's clipboard block (source index 0), to compare banks byte for byte.
    static std::vector<uint8_t> Block(const CTarnSampleData& bank);
    std::vector<std::string> AlertTexts() const;
    // A drag as the window hands it to the page: the data, the keys and the control it began on.
    CEfDragInfo Drag(const QMimeData* data, Qt::KeyboardModifiers modifiers,
                     const CEfControl* source);
    static CEfDragInfo FilesDrag(std::vector<std::string> files);

    TempDir dir;
    RecordingAlertPresenter alerts;
    ScriptedFileDialogs dialogs;
    CHfcMemoryPreferences store;
    CTarnManagerResolver resolver;
    std::unique_ptr<CTarnVirtualInstrumentSession> instrument;
    std::unique_ptr<CTarnHost> host;
    CHfcRecordingAudioOutput* output = nullptr;
    CTarnMainWindow* window = nullptr;
    CTarnSampleLibrarianLayer* page = nullptr;
    // The host's compressed-audio decoder; a derived fixture sets it before SetUp.
    CHfcCompressedAudioDecoder* decoder = nullptr;
};
