#pragma once

#include <cstddef>
#include <cstdint>

class CHfcMidi;
class CHfcMidiMessage;

// Notifications of a CHfcMidi port object, all delivered on its MIDI thread while its listener
// lock is held (a listener must not change the listener list from here). Every operation does
// nothing unless overridden.
class CHfcMidiListener {
public:
    virtual ~CHfcMidiListener() = default;

    // A short (non-SysEx) message, after OnHfcMidiInMessageReceived.
    virtual void OnHfcMidiInShortMessageReceived(CHfcMidi* /*source*/, size_t /*length*/,
                                                 const uint8_t* /*bytes*/) {}
    // A short message as an object, before OnHfcMidiInShortMessageReceived.
    virtual void OnHfcMidiInMessageReceived(CHfcMidi* /*source*/,
                                            const CHfcMidiMessage& /*message*/) {}
    // A complete SysEx message, F0 to F7 inclusive.
    virtual void OnHfcMidiInLongMessageReceived(CHfcMidi* /*source*/, size_t /*length*/,
                                                const uint8_t* /*bytes*/) {}
    // A complete SysEx message as an object, before OnHfcMidiInLongMessageReceived.
    virtual void OnHfcMidiInLongMidiMessageReceived(CHfcMidi* /*source*/,
                                                    const CHfcMidiMessage& /*message*/) {}
    // Progress while a SysEx message arrives: the bytes of the current input segment that belong
    // to it. Also called, before the two above, with the segment's final part of the message.
    virtual void OnHfcMidiInLongMessageReceiving(CHfcMidi* /*source*/, size_t /*count*/,
                                                 const uint8_t* /*bytes*/) {}
    // A piece handed to Out has gone out; count is its length.
    virtual void OnHfcMidiOutSysExSendComplete(CHfcMidi* /*source*/, size_t /*count*/) {}
    // Input bytes were lost (the input overran); a SysEx message being collected was dropped.
    virtual void OnHfcMidiInOverrun(CHfcMidi* /*source*/) {}
    // The device of an open input or output went away; sending fails from now on.
    virtual void OnHfcMidiPortLost(CHfcMidi* /*source*/) {}
};
