#pragma once

#include <memory>

#include "platform/CHfcMidiDriver.h"

// The ALSA sequencer as a MIDI system. The editor is one sequencer client; the devices are the
// other clients' ports that can be subscribed to (inputs: readable ports, outputs: writable
// ports), except the system client's. Without a sequencer (no /dev/snd/seq, as in containers)
// there are no devices and opening fails; the reason goes to the diagnostic trace.
class CAlsaMidiDriver : public CHfcMidiDriver {
public:
    explicit CAlsaMidiDriver(const char* clientName = "TALVEX PRO+ Editor");
    ~CAlsaMidiDriver() override;

    std::vector<CHfcMidiDeviceInfo> InputDevices() override;
    std::vector<CHfcMidiDeviceInfo> OutputDevices() override;
    std::unique_ptr<CHfcMidiInputPort> OpenInput(int index, CHfcMidiInputSink& sink,
                                                 std::string& error) override;
    std::unique_ptr<CHfcMidiOutputPort> OpenOutput(int index, CHfcMidiOutputSink& sink,
                                                   std::string& error) override;

    class CImpl;

private:
    std::shared_ptr<CImpl> impl_;
};
