#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/alsa/CAlsaClock.h"

// The kernel side of ALSA as far as the editor's MIDI backend meets it, linked in place of
// libasound. One sequencer with the system client (0), a hardware MIDI interface (kernel client
// 20 on card 1, port 0 "Model MIDI 1", raw device hw:1,0,0) and a program (user client 130,
// port 0 "Model Synth"). Time is virtual: it moves only when the backend blocks on a raw MIDI
// write or drain, or when something sleeps on Clock().
//
// Modelled as the kernel does it:
// - Hardware output: the MIDI bridge copies each event into the port's 4096-byte buffer and
//   silently drops what does not fit; the buffer drains to the wire at the set byte rate. The raw
//   device writes into the same buffer, blocking while it is full; it is busy while the bridge
//   holds it (a subscription to the port, the editor's or another program's).
// - A program's input: a FIFO of pool cells (200 unless the program raised it), one cell per
//   event plus one per 28 bytes of SysEx; a full FIFO refuses the event (-EAGAIN to the sender),
//   sets the overflow flag, and the reader's next read fails with -ENOSPC and empties the FIFO.
//   The editor's own input is such a FIFO; Model Synth reads its FIFO at a set byte rate.
// - POLLOUT is always set. A device that goes away unsubscribes the editor's ports
//   (PORT_UNSUBSCRIBED to them) and is announced (PORT_EXIT, CLIENT_EXIT on System:Announce).
namespace fake_alsa {

constexpr int kHardwareClient = 20;
constexpr int kProgramClient = 130;
constexpr int kEditorClient = 128;
constexpr size_t kBridgeBufferBytes = 4096;

struct Stats {
    uint64_t wireBytes = 0;           // bytes that have left the hardware port's wire
    uint64_t droppedBytes = 0;        // bytes the bridge dropped for want of room
    uint64_t outputCalls = 0;         // snd_seq_event_output_direct calls
    uint64_t refusedEvents = 0;       // of those, refused
    uint64_t programOverflows = 0;    // events Model Synth's FIFO refused
    uint64_t editorOverflows = 0;     // events the editor's FIFO refused
    size_t editorPoolCells = 0;       // the editor's input pool
    size_t editorFifoPeak = 0;        // most cells of it ever in use
    bool editorPortsExported = false; // any editor port other programs may subscribe to
    bool rawMidiOpen = false;
};

// Starts afresh: no clients but the model's, time 0, the given byte rates (0: Model Synth never
// reads), the raw device free.
void Reset(size_t hardwareBytesPerSecond, size_t programReadBytesPerSecond);
// Another program is subscribed to the hardware port, so the bridge holds its raw device.
void SetRawMidiBusy(bool busy);

// The bytes that have left the wire since the last call, for an instrument at its far end.
std::vector<uint8_t> TakeWire();
// What the wire and Model Synth have received so far.
std::vector<uint8_t> Wire();
std::vector<uint8_t> ProgramReceived();
Stats GetStats();
std::chrono::nanoseconds Now();

// Events from the hardware port to whoever subscribed to it, at once (one SysEx event per piece,
// as the kernel splits raw input into 256-byte events); false for the pieces the editor's FIFO
// refused. All pieces go in one step, as a burst the reader cannot interrupt.
size_t DeliverFromHardware(const std::vector<std::vector<uint8_t>>& pieces);
// Cells of the editor's input FIFO in use (0 once the backend has read everything).
size_t EditorFifoUsed();
// A real-time event (active sensing, clock...) from the hardware port.
void DeliverRealTimeFromHardware(uint8_t byte);
// Another program's subscription (hardware to Model Synth) is removed: announced to all.
void AnnounceForeignUnsubscription();
// The interface is unplugged.
void UnplugHardware();

// The virtual clock; sleeping on it moves time on.
CAlsaClock& Clock();

} // namespace fake_alsa
