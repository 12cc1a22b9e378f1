#pragma once

#include <memory>

#include "platform/CHfcAudioOutput.h"

// The computer's default audio output through the best backend of this build; null when the
// build has none. Whether a device is actually present shows when the output is queried or
// opened.
std::unique_ptr<CHfcAudioOutput> CreateDefaultAudioOutput();
