#pragma once

class CHfcMidiDriver;

// The MIDI system that port objects use unless they are given one: installed by the program at
// start-up (the ALSA sequencer) or by a test (virtual devices). Until then, and after
// SetDriver(nullptr), a system without devices. The installed driver stays owned by the caller
// and must outlive every port object created while it is installed.
class CHfcMidiSystem {
public:
    static CHfcMidiDriver& Driver();
    static void SetDriver(CHfcMidiDriver* driver);
};
