#include "ui/app/CTarnEditorMidi.h"

#include "midi/port/CHfcMidiSystem.h"
#include "platform/CHfcDeferredMidiDriver.h"
#include "platform/CVirtualMidiDriver.h"
#include "platform/SystemMidiDriver.h"
#include "sim/CTarnVirtualInstrumentSession.h"

CTarnEditorMidi::CTarnEditorMidi() = default;

CTarnEditorMidi::~CTarnEditorMidi() {
    std::string error;
    Close(error);
}

bool CTarnEditorMidi::Open(bool virtualInstrument, const std::string& file, std::string& error) {
    if (virtualInstrument) {
        instrument_ = std::make_unique<CTarnVirtualInstrumentSession>();
        if (!instrument_->Open(file, error)) {
            instrument_.reset();
            return false;
        }
        driver_ = &instrument_->Driver();
    } else {
        // The MIDI backend loads when the devices are first listed or opened.
        systemDriver_ = std::make_unique<CHfcDeferredMidiDriver>(&CreateSystemMidiDriver);
        driver_ = systemDriver_.get();
    }
    CHfcMidiSystem::SetDriver(driver_);
    return true;
}

bool CTarnEditorMidi::Close(std::string& error) {
    if (driver_) {
        CHfcMidiSystem::SetDriver(nullptr);
        driver_ = nullptr;
    }
    bool saved = true;
    if (instrument_) {
        saved = instrument_->Close(error);
        instrument_.reset();
    }
    systemDriver_.reset();
    return saved;
}
