#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CTarnPreferencesData.h"
#include "data/CTarnAllData.h"
#include "framework/CEfAlertPresenter.h"
#include "framework/CEfProgressFactory.h"
#include "framework/CTarnProgressDialog.h"
#include "midi/CTarnMidiManager.h"
#include "platform/CHfcMemoryPreferences.h"
#include "platform/CVirtualMidiDriver.h"
#include "sim/CTarnVirtualInstrumentDevice.h"

// Records every message box and answers with a fixed result.
class RecordingAlerts : public CEfAlertPresenter {
public:
    int ShowAlert(const std::string& text, const std::string& caption, uint8_t style) override;

    std::vector<std::string> texts;
    std::vector<uint8_t> styles;
    int answer = 1;
};

// Progress windows that remember what they showed; a hook sees every change.
class RecordingProgress : public CEfProgressFactory {
public:
    std::unique_ptr<CTarnProgressDialog> CreateProgressDialog() override;

    int created = 0;
    int open = 0;
    int lastPosition = 0;
    std::vector<std::string> titles;
    std::vector<std::string> texts;
    std::function<void(CTarnProgressDialog&)> onChange;
};

// A virtual MIDI system with one virtual instrument, preferences in memory (automatic
// detection) and a transfer manager with short time-outs.
class TransferTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs an operation and gives the error code it threw, or -1 when it threw nothing.
    int CodeOf(const std::function<void()>& operation);
    CTarnVirtualInstrument& Instrument() { return instrument_->Instrument(); }

    CVirtualMidiDriver driver_;
    CHfcMemoryPreferences store_;
    std::unique_ptr<CTarnPreferencesData> preferences_;
    std::unique_ptr<CTarnVirtualInstrumentDevice> instrument_;
    std::unique_ptr<CTarnMidiManager> manager_;
    RecordingAlerts alerts_;
    RecordingProgress progress_;
};

// Fills a bank with seeded noise: frames of audio at the given tempo (tenths of BPM) and
// phrase length, the last native frame zero as the instrument keeps it.
void FillBank(CTarnSampleData& sample, int frames, int tempo10, int phraseLength, uint32_t seed);
// An all-data set with every member changed from the defaults, banks B and D left empty.
void FillAllData(CTarnAllData& all, uint32_t seed);
