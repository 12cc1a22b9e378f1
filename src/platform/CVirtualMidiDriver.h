#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/CHfcMidiDriver.h"
#include "platform/CVirtualMidiDevice.h"

// A MIDI system made of in-process virtual devices that a test or the program registers. The
// devices are listed in the order they were added (inputs and outputs separately, each counting
// only the devices that have that direction).
class CVirtualMidiDriver : public CHfcMidiDriver {
public:
    // The peer must outlive the device or be detached with SetPeer(nullptr) first.
    std::shared_ptr<CVirtualMidiDevice> AddDevice(const CVirtualMidiDeviceOptions& options,
                                                  CVirtualMidiPeer* peer);
    // Unlists the device; ports already open on it keep working until they are closed.
    void RemoveDevice(const std::shared_ptr<CVirtualMidiDevice>& device);

    std::vector<CHfcMidiDeviceInfo> InputDevices() override;
    std::vector<CHfcMidiDeviceInfo> OutputDevices() override;
    std::unique_ptr<CHfcMidiInputPort> OpenInput(int index, CHfcMidiInputSink& sink,
                                                 std::string& error) override;
    std::unique_ptr<CHfcMidiOutputPort> OpenOutput(int index, CHfcMidiOutputSink& sink,
                                                   std::string& error) override;

private:
    std::shared_ptr<CVirtualMidiDevice> DeviceAt(int index, bool input);

    std::mutex mutex_;
    std::vector<std::shared_ptr<CVirtualMidiDevice>> devices_;
};
