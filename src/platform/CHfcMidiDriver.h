#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/CHfcMidiDeviceInfo.h"
#include "platform/CHfcMidiInputPort.h"
#include "platform/CHfcMidiInputSink.h"
#include "platform/CHfcMidiOutputPort.h"
#include "platform/CHfcMidiOutputSink.h"

// A MIDI system: lists the devices of each direction and opens them by index. The driver must
// outlive every port it opened. All operations may be called from any thread.
class CHfcMidiDriver {
public:
    virtual ~CHfcMidiDriver() = default;

    virtual std::vector<CHfcMidiDeviceInfo> InputDevices() = 0;
    virtual std::vector<CHfcMidiDeviceInfo> OutputDevices() = 0;

    // Null on failure, with a short reason in error.
    virtual std::unique_ptr<CHfcMidiInputPort> OpenInput(int index, CHfcMidiInputSink& sink,
                                                         std::string& error) = 0;
    virtual std::unique_ptr<CHfcMidiOutputPort> OpenOutput(int index, CHfcMidiOutputSink& sink,
                                                           std::string& error) = 0;
};
