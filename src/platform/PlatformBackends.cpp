#include "platform/PlatformBackends.h"

#include <vector>

std::string PlatformBackendNames() {
    std::vector<const char*> names;
#ifdef TALVEX_HAVE_ALSA
    names.push_back("ALSA sequencer");
#endif
#ifdef TALVEX_HAVE_PORTAUDIO
    names.push_back("PortAudio");
#endif
#ifdef TALVEX_HAVE_FFMPEG
    names.push_back("FFmpeg");
#endif
#ifdef TALVEX_HAVE_QT
    names.push_back("Qt");
#endif
    std::string text;
    for (const char* name : names) {
        if (!text.empty()) {
            text += ", ";
        }
        text += name;
    }
    return text.empty() ? "none" : text;
}
