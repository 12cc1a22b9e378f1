#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/CHfcMidiDriver.h"

// A MIDI system made the first time it is asked for devices or a port, so that a program starts
// without loading the MIDI backend and loads it only when MIDI is used. Until then nothing is
// opened; a factory that gives nothing leaves a system without devices.
class CHfcDeferredMidiDriver : public CHfcMidiDriver {
public:
    using Factory = std::function<std::unique_ptr<CHfcMidiDriver>()>;

    explicit CHfcDeferredMidiDriver(Factory factory);

    std::vector<CHfcMidiDeviceInfo> InputDevices() override;
    std::vector<CHfcMidiDeviceInfo> OutputDevices() override;
    std::unique_ptr<CHfcMidiInputPort> OpenInput(int index, CHfcMidiInputSink& sink,
                                                 std::string& error) override;
    std::unique_ptr<CHfcMidiOutputPort> OpenOutput(int index, CHfcMidiOutputSink& sink,
                                                   std::string& error) override;

    // Whether the real system has been asked for yet.
    bool IsMade() const;

private:
    CHfcMidiDriver* Real();

    Factory factory_;
    std::once_flag once_;
    std::atomic<bool> made_{false};
    std::unique_ptr<CHfcMidiDriver> real_;
};
