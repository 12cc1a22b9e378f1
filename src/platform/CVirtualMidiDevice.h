#pragma once

#include <memory>
#include <span>
#include <string>

#include "platform/CHfcMidiInputPort.h"
#include "platform/CHfcMidiInputSink.h"
#include "platform/CHfcMidiOutputPort.h"
#include "platform/CHfcMidiOutputSink.h"
#include "platform/CVirtualMidiDeviceOptions.h"

class CVirtualMidiPeer;

// An in-process MIDI device pair: bytes the editor sends to its output reach the peer, bytes the
// peer sends reach the editor's open input. Each direction runs on a thread of its own, split
// into segments of the configured size and paced at the configured byte rate. The input and the
// output can each be open once at a time. Bytes sent to the editor while its input is closed are
// lost, as on a real cable. Ports opened on the device may outlive it; like ports of an unplugged
// device, they are told the device is lost, fail to send, and pieces not yet sent are never
// reported sent.
class CVirtualMidiDevice {
public:
    CVirtualMidiDevice(CVirtualMidiDeviceOptions options, CVirtualMidiPeer* peer);
    ~CVirtualMidiDevice();
    CVirtualMidiDevice(const CVirtualMidiDevice&) = delete;
    CVirtualMidiDevice& operator=(const CVirtualMidiDevice&) = delete;

    const CVirtualMidiDeviceOptions& Options() const;

    // Replaces the peer; waits until a call into the previous peer has returned (so it must not be
    // called from the peer's own callback). Null detaches.
    void SetPeer(CVirtualMidiPeer* peer);

    // Queues bytes for the editor's input; returns at once. Callable from any thread, the peer's
    // own callback included.
    void SendToEditor(std::span<const uint8_t> bytes);

    // As if the cable were pulled out: open ports are told the device is lost, nothing more
    // moves in either direction, and the device cannot be opened again.
    void Unplug();
    // Tells the open input that bytes were lost, as a backend does when its buffer overruns.
    void SimulateOverrun();

    bool IsInputOpen() const;
    bool IsOutputOpen() const;

    // Waits until every byte queued in either direction has been delivered (or dropped). Not from
    // the peer's callback.
    void WaitIdle();

    std::unique_ptr<CHfcMidiInputPort> OpenInput(CHfcMidiInputSink& sink, std::string& error);
    std::unique_ptr<CHfcMidiOutputPort> OpenOutput(CHfcMidiOutputSink& sink, std::string& error);

private:
    class CImpl;
    std::shared_ptr<CImpl> impl_;
};
