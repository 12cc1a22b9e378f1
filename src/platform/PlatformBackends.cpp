#include "platform/PlatformBackends.h"

#include <vector>

#include "platform/CHfcBackendModule.h"

namespace {

// A module's name as it stands now: found (not loaded yet), loaded, or why it is missing.
std::string ModuleText(const char* name, const CHfcBackendModule& module) {
    switch (module.GetState()) {
    case CHfcBackendModule::State::kLoaded:
        return name;
    case CHfcBackendModule::State::kFailed:
        return std::string(name) + " (unavailable: " + module.Failure() + ")";
    case CHfcBackendModule::State::kNotTried:
        break;
    }
    return module.IsPresent() ? std::string(name) : std::string(name) + " (not installed)";
}

} // namespace

std::string PlatformBackendNames() {
    std::vector<std::string> names;
#ifdef TALVEX_HAVE_ALSA_MODULE
    names.push_back(ModuleText("ALSA sequencer", AlsaBackendModule()));
#endif
#ifdef TALVEX_HAVE_PORTAUDIO
    names.push_back(ModuleText("PortAudio", PortAudioBackendModule()));
#endif
#ifdef TALVEX_HAVE_FFMPEG
    names.push_back(ModuleText("FFmpeg", FfmpegBackendModule()));
#endif
#ifdef TALVEX_HAVE_QT
    names.push_back("Qt");
#endif
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty()) {
            text += ", ";
        }
        text += name;
    }
    return text.empty() ? "none" : text;
}
