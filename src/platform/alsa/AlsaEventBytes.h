#pragma once

#include <alsa/asoundlib.h>

#include <cstddef>
#include <cstdint>

// Sequencer events and MIDI bytes, without the library's stateful codec: a SysEx event carries
// raw bytes (any piece of a byte stream), every other event is one complete message.
namespace alsa_bytes {

// Length of a short message by its status byte (1 to 3).
size_t MessageLength(uint8_t status);

// The bytes of a non-SysEx event in out (room for 3); 0 for events that carry no MIDI.
size_t FromEvent(const snd_seq_event_t& event, uint8_t* out);

// Fills event with one complete short message; false when the bytes are not one.
bool ToEvent(const uint8_t* bytes, size_t length, snd_seq_event_t& event);

} // namespace alsa_bytes
