#include "midi/port/CHfcMidiSystem.h"

#include <atomic>

#include "platform/CHfcMidiDriver.h"

namespace {

// A MIDI system without devices, in use until a real one is installed.
class CNoMidiDriver : public CHfcMidiDriver {
public:
    std::vector<CHfcMidiDeviceInfo> InputDevices() override { return {}; }
    std::vector<CHfcMidiDeviceInfo> OutputDevices() override { return {}; }
    std::unique_ptr<CHfcMidiInputPort> OpenInput(int, CHfcMidiInputSink&,
                                                 std::string& error) override {
        error = "no MIDI system";
        return nullptr;
    }
    std::unique_ptr<CHfcMidiOutputPort> OpenOutput(int, CHfcMidiOutputSink&,
                                                   std::string& error) override {
        error = "no MIDI system";
        return nullptr;
    }
};

CNoMidiDriver noDriver;
std::atomic<CHfcMidiDriver*> installed{&noDriver};

} // namespace

CHfcMidiDriver& CHfcMidiSystem::Driver() {
    return *installed.load();
}

void CHfcMidiSystem::SetDriver(CHfcMidiDriver* driver) {
    installed.store(driver ? driver : &noDriver);
}
