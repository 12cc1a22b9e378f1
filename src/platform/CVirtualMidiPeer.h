#pragma once

#include <cstddef>
#include <cstdint>

class CVirtualMidiDevice;

// The far end of a virtual MIDI device: whatever plays the instrument in a test or a simulation.
// It receives the bytes the editor sends out of the device's output, in segments, on the
// device's own thread, and answers through CVirtualMidiDevice::SendToEditor.
class CVirtualMidiPeer {
public:
    virtual ~CVirtualMidiPeer() = default;
    virtual void OnVirtualMidiReceived(CVirtualMidiDevice& device, const uint8_t* bytes,
                                       size_t length) = 0;
};
