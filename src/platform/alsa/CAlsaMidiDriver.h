#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/CHfcMidiDriver.h"

class CAlsaClock;

// The ALSA sequencer as a MIDI system. The editor is one sequencer client; the devices are the
// other clients' ports that can be subscribed to (inputs: readable ports, outputs: writable
// ports), except the system client's. Without a sequencer (no /dev/snd/seq, as in containers)
// there are no devices and opening fails; the reason goes to the diagnostic trace.
//
// Output never outruns the device: the kernel's MIDI bridge drops silently what does not fit its
// 4096-byte buffer, so a piece is reported done only when its bytes can have left the wire. A
// hardware port (a kernel client with a card) is written through its raw MIDI device with
// blocking writes; when that device is busy, and for ports of programs, events go through the
// sequencer paced at a known byte rate. The editor's own ports cannot be subscribed to by other
// programs, so nothing else is mixed into a dump. A device that goes away (unplugged, its program
// ended) is reported lost to the open ports at once.
class CAlsaMidiDriver : public CHfcMidiDriver {
public:
    struct Options {
        std::string clientName = "TALVEX PRO+ Editor";
        // Pace through the sequencer to a hardware port whose raw device is busy: the speed of a
        // DIN cable, which every interface takes.
        size_t hardwareBytesPerSecond = 3125;
        // Pace to ports of programs (talvex-sim, soft synths): a USB-MIDI speed, well within
        // what a program reading its port keeps up with.
        size_t programBytesPerSecond = 100000;
        // Write to hardware through its raw MIDI device when it can be opened.
        bool useRawMidi = true;
        // The time base of the pacing; null for the steady clock.
        CAlsaClock* clock = nullptr;
    };

    explicit CAlsaMidiDriver(const char* clientName = "TALVEX PRO+ Editor");
    explicit CAlsaMidiDriver(const Options& options);
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
