#pragma once

#include <memory>

#include "platform/CHfcMidiDriver.h"

// The computer's own MIDI system: the ALSA sequencer where this build has it, otherwise a
// system without devices.
std::unique_ptr<CHfcMidiDriver> CreateSystemMidiDriver();
