// talvex-backend-alsa.so: the computer's MIDI devices through the ALSA sequencer.
#include "platform/HfcBackendModuleAbi.h"
#include "platform/alsa/CAlsaMidiDriver.h"

TALVEX_BACKEND_EXPORT int TalvexBackendAbiVersion() {
    return kHfcBackendAbiVersion;
}

TALVEX_BACKEND_EXPORT CHfcMidiDriver* TalvexBackendCreateMidiDriver() {
    try {
        return new CAlsaMidiDriver();
    } catch (...) {
        return nullptr;
    }
}
