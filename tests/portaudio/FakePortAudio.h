#pragma once

#include <portaudio.h>

// A PortAudio with devices the test describes, linked in place of the real library: device 0
// belongs to ALSA, device 1 to JACK; either may be missing; writes fail when told to.
namespace fake_pa {

struct Setup {
    bool alsaDefault = true; // ALSA's default device exists
    bool jackRunning = false;
    // Pa_WriteStream's result from the given write on (counting from 1; 0: never).
    int failFromWrite = 0;
    PaError failure = paUnanticipatedHostError;
};

void Reset(const Setup& setup);
// What the last Pa_OpenStream was given; device -1 when it was not called.
PaStreamParameters LastOpened();
int Writes();

constexpr PaTime kLowLatency = 0.01;
constexpr PaTime kHighLatency = 0.1;

} // namespace fake_pa
