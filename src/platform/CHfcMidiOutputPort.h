#pragma once

#include <cstddef>
#include <cstdint>

// An open MIDI output. Destroying the object closes the port: a piece being sent is finished,
// pieces still waiting are dropped (a cancelled transfer stops at once) but reported like sent
// ones, a SysEx message left open by the dropped pieces is ended with F7 so that the receiver
// does not go on collecting, and once the destructor has returned the sink is never called again.
class CHfcMidiOutputPort {
public:
    virtual ~CHfcMidiOutputPort() = default;

    // Queues one piece of bytes, sent exactly as given (a SysEx continuation piece without F0
    // passes through unchanged). Pieces go out in the order they were queued, paced to what the
    // device takes, never dropped. True when the piece was accepted; its completion then reaches
    // the output sink once, when its bytes have gone out. False once the device is lost.
    virtual bool Send(const uint8_t* bytes, size_t length) = 0;
};
