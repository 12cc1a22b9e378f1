#include "sim/CTarnVirtualInstrumentDevice.h"

#include "platform/CVirtualMidiDevice.h"
#include "platform/CVirtualMidiDriver.h"
#include "sim/CTarnSimMemoryIo.h"

CVirtualMidiDeviceOptions CTarnVirtualInstrumentDevice::DefaultOptions(std::string name) {
    CVirtualMidiDeviceOptions options;
    options.name = std::move(name);
    options.hasIds = true;
    options.inputManufacturerId = kDriverManufacturerId;
    options.inputProductId = kDriverInputProductId;
    options.outputManufacturerId = kDriverManufacturerId;
    options.outputProductId = kDriverOutputProductId;
    return options;
}

CTarnVirtualInstrumentDevice::CTarnVirtualInstrumentDevice(CVirtualMidiDriver& driver,
                                                           std::string name, uint8_t deviceId)
    : CTarnVirtualInstrumentDevice(driver, DefaultOptions(std::move(name)), deviceId) {}

CTarnVirtualInstrumentDevice::CTarnVirtualInstrumentDevice(CVirtualMidiDriver& driver,
                                                           const CVirtualMidiDeviceOptions& options,
                                                           uint8_t deviceId)
    : driver_(driver) {
    instrument_ =
        std::make_unique<CTarnVirtualInstrument>(static_cast<CTarnSimOutput&>(*this), deviceId);
    instrument_->SetMemory(CTarnSimMemoryIo::Defaults());
    device_ = driver_.AddDevice(options, this);
}

CTarnVirtualInstrumentDevice::~CTarnVirtualInstrumentDevice() {
    device_->SetPeer(nullptr);
    driver_.RemoveDevice(device_);
    // The instrument's thread may still be writing to the device; stop it while the device lives.
    instrument_.reset();
}

void CTarnVirtualInstrumentDevice::WaitIdle() {
    device_->WaitIdle();
    while (!instrument_->WaitIdle(std::chrono::milliseconds(10000))) {
    }
    device_->WaitIdle();
}

void CTarnVirtualInstrumentDevice::OnVirtualMidiReceived(CVirtualMidiDevice& /*device*/,
                                                         const uint8_t* bytes, size_t length) {
    instrument_->Input(bytes, length);
}

void CTarnVirtualInstrumentDevice::OnSimOutput(const uint8_t* bytes, size_t length) {
    device_->SendToEditor({bytes, length});
}
