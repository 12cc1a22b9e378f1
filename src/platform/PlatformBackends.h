#pragma once

#include <string>

// Names the platform backends of this build, e.g. "ALSA sequencer, PortAudio, FFmpeg, Qt". A
// backend built as a module is named as it stands: plainly when its module is loaded or found,
// with the reason when loading it failed, and "(not installed)" when its file is missing. Loads
// nothing.
std::string PlatformBackendNames();
