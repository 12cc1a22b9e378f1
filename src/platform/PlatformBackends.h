#pragma once

#include <string>

// Names the platform backends this build contains, e.g. "ALSA sequencer, PortAudio, FFmpeg, Qt".
std::string PlatformBackendNames();
