#pragma once

// An open MIDI input. Bytes flow to the sink given at opening from then on; destroying the object
// closes the port, and once the destructor has returned the sink is never called again.
class CHfcMidiInputPort {
public:
    virtual ~CHfcMidiInputPort() = default;
};
