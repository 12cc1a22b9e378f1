#pragma once

#include <memory>
#include <string>

#include "platform/CVirtualMidiDeviceOptions.h"
#include "platform/CVirtualMidiPeer.h"
#include "sim/CTarnSimOutput.h"
#include "sim/CTarnVirtualInstrument.h"

class CVirtualMidiDevice;
class CVirtualMidiDriver;

// A virtual instrument plugged into an in-process MIDI system as one device pair, reporting the
// identifiers of the instrument's own USB-MIDI driver and holding the editor's default data.
// Unplugs itself on destruction.
class CTarnVirtualInstrumentDevice : private CVirtualMidiPeer, private CTarnSimOutput {
public:
    static constexpr const char* kDefaultName = "TALVEX PRO+ (virtual)";
    static constexpr uint16_t kDriverManufacturerId = 55;
    static constexpr uint16_t kDriverInputProductId = 5;
    static constexpr uint16_t kDriverOutputProductId = 6;

    // The driver must outlive the object.
    CTarnVirtualInstrumentDevice(CVirtualMidiDriver& driver, std::string name = kDefaultName,
                                 uint8_t deviceId = 0);
    // Presents itself as the options say (name, driver identifiers, speed).
    CTarnVirtualInstrumentDevice(CVirtualMidiDriver& driver,
                                 const CVirtualMidiDeviceOptions& options, uint8_t deviceId = 0);
    ~CTarnVirtualInstrumentDevice() override;
    CTarnVirtualInstrumentDevice(const CTarnVirtualInstrumentDevice&) = delete;
    CTarnVirtualInstrumentDevice& operator=(const CTarnVirtualInstrumentDevice&) = delete;

    // The options that present the instrument with its own USB-MIDI driver.
    static CVirtualMidiDeviceOptions DefaultOptions(std::string name = kDefaultName);

    CTarnVirtualInstrument& Instrument() { return *instrument_; }
    CVirtualMidiDevice& Device() { return *device_; }
    // Waits until the wire and the instrument have nothing left to do.
    void WaitIdle();

private:
    void OnVirtualMidiReceived(CVirtualMidiDevice& device, const uint8_t* bytes,
                               size_t length) override;
    void OnSimOutput(const uint8_t* bytes, size_t length) override;

    CVirtualMidiDriver& driver_;
    std::shared_ptr<CVirtualMidiDevice> device_;
    std::unique_ptr<CTarnVirtualInstrument> instrument_;
};
