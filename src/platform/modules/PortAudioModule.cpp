// talvex-backend-portaudio.so: the preview's audio output through PortAudio.
#include "platform/HfcBackendModuleAbi.h"
#include "platform/portaudio/CHfcPortAudioOutput.h"

TALVEX_BACKEND_EXPORT int TalvexBackendAbiVersion() {
    return kHfcBackendAbiVersion;
}

TALVEX_BACKEND_EXPORT CHfcAudioOutput* TalvexBackendCreateAudioOutput() {
    try {
        return new CHfcPortAudioOutput();
    } catch (...) {
        return nullptr;
    }
}
