#include "platform/CVirtualMidiDriver.h"

#include <algorithm>

std::shared_ptr<CVirtualMidiDevice>
CVirtualMidiDriver::AddDevice(const CVirtualMidiDeviceOptions& options, CVirtualMidiPeer* peer) {
    auto device = std::make_shared<CVirtualMidiDevice>(options, peer);
    std::lock_guard<std::mutex> lock(mutex_);
    devices_.push_back(device);
    return device;
}

void CVirtualMidiDriver::RemoveDevice(const std::shared_ptr<CVirtualMidiDevice>& device) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase(devices_, device);
}

namespace {

std::vector<CHfcMidiDeviceInfo>
List(const std::vector<std::shared_ptr<CVirtualMidiDevice>>& devices, bool input) {
    std::vector<CHfcMidiDeviceInfo> list;
    for (const auto& device : devices) {
        const CVirtualMidiDeviceOptions& o = device->Options();
        if (input ? !o.hasInput : !o.hasOutput) {
            continue;
        }
        CHfcMidiDeviceInfo info;
        info.index = static_cast<int>(list.size());
        info.name = o.name;
        info.hasIds = o.hasIds;
        info.manufacturerId = input ? o.inputManufacturerId : o.outputManufacturerId;
        info.productId = input ? o.inputProductId : o.outputProductId;
        list.push_back(std::move(info));
    }
    return list;
}

} // namespace

std::vector<CHfcMidiDeviceInfo> CVirtualMidiDriver::InputDevices() {
    std::lock_guard<std::mutex> lock(mutex_);
    return List(devices_, true);
}

std::vector<CHfcMidiDeviceInfo> CVirtualMidiDriver::OutputDevices() {
    std::lock_guard<std::mutex> lock(mutex_);
    return List(devices_, false);
}

std::shared_ptr<CVirtualMidiDevice> CVirtualMidiDriver::DeviceAt(int index, bool input) {
    std::lock_guard<std::mutex> lock(mutex_);
    int position = 0;
    for (const auto& device : devices_) {
        const CVirtualMidiDeviceOptions& o = device->Options();
        if (input ? !o.hasInput : !o.hasOutput) {
            continue;
        }
        if (position++ == index) {
            return device;
        }
    }
    return nullptr;
}

std::unique_ptr<CHfcMidiInputPort> CVirtualMidiDriver::OpenInput(int index, CHfcMidiInputSink& sink,
                                                                 std::string& error) {
    std::shared_ptr<CVirtualMidiDevice> device = DeviceAt(index, true);
    if (!device) {
        error = "no such virtual input";
        return nullptr;
    }
    return device->OpenInput(sink, error);
}

std::unique_ptr<CHfcMidiOutputPort>
CVirtualMidiDriver::OpenOutput(int index, CHfcMidiOutputSink& sink, std::string& error) {
    std::shared_ptr<CVirtualMidiDevice> device = DeviceAt(index, false);
    if (!device) {
        error = "no such virtual output";
        return nullptr;
    }
    return device->OpenOutput(sink, error);
}
