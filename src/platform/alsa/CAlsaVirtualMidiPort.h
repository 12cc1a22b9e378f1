#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/CHfcMidiInputSink.h"

// A sequencer client with one port of its own that other programs connect to as they would to
// a hardware device's port: bytes written to it reach the sink, on a thread of this object;
// Send puts bytes out to every subscriber, paced like a cable. Used to put the virtual
// instrument on the desktop.
class CAlsaVirtualMidiPort {
public:
    CAlsaVirtualMidiPort();
    ~CAlsaVirtualMidiPort();
    CAlsaVirtualMidiPort(const CAlsaVirtualMidiPort&) = delete;
    CAlsaVirtualMidiPort& operator=(const CAlsaVirtualMidiPort&) = delete;

    // The sink must outlive the port. Output is paced at the byte rate (0: as fast as the
    // sequencer takes it, which floods a receiver that reads slower). False, with the reason in
    // error, when the sequencer or the port is not available.
    bool Open(const std::string& clientName, const std::string& portName, size_t bytesPerSecond,
              CHfcMidiInputSink& sink, std::string& error);
    // Sends a piece of a byte stream (SysEx may be split anywhere); false when it did not go
    // out. Waits as the pacing requires. Any thread, also while Close runs.
    bool Send(const uint8_t* bytes, size_t length);
    void Close();
    // "client:port" of the open port.
    std::string Address() const;

private:
    class CImpl;
    std::unique_ptr<CImpl> impl_;
};
