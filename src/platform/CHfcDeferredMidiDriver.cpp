#include "platform/CHfcDeferredMidiDriver.h"

CHfcDeferredMidiDriver::CHfcDeferredMidiDriver(Factory factory) : factory_(std::move(factory)) {}

CHfcMidiDriver* CHfcDeferredMidiDriver::Real() {
    // The operations may come from any thread; the first one makes the system, the others wait.
    std::call_once(once_, [this] {
        if (factory_) {
            real_ = factory_();
        }
        made_ = true;
    });
    return real_.get();
}

bool CHfcDeferredMidiDriver::IsMade() const {
    return made_.load();
}

std::vector<CHfcMidiDeviceInfo> CHfcDeferredMidiDriver::InputDevices() {
    CHfcMidiDriver* real = Real();
    return real ? real->InputDevices() : std::vector<CHfcMidiDeviceInfo>{};
}

std::vector<CHfcMidiDeviceInfo> CHfcDeferredMidiDriver::OutputDevices() {
    CHfcMidiDriver* real = Real();
    return real ? real->OutputDevices() : std::vector<CHfcMidiDeviceInfo>{};
}

std::unique_ptr<CHfcMidiInputPort>
CHfcDeferredMidiDriver::OpenInput(int index, CHfcMidiInputSink& sink, std::string& error) {
    if (CHfcMidiDriver* real = Real()) {
        return real->OpenInput(index, sink, error);
    }
    error = "no MIDI system";
    return nullptr;
}

std::unique_ptr<CHfcMidiOutputPort>
CHfcDeferredMidiDriver::OpenOutput(int index, CHfcMidiOutputSink& sink, std::string& error) {
    if (CHfcMidiDriver* real = Real()) {
        return real->OpenOutput(index, sink, error);
    }
    error = "no MIDI system";
    return nullptr;
}
