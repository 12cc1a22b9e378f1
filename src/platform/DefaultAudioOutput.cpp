#include "platform/DefaultAudioOutput.h"

#ifdef TALVEX_HAVE_PORTAUDIO
#include "platform/portaudio/CHfcPortAudioOutput.h"
#endif

std::unique_ptr<CHfcAudioOutput> CreateDefaultAudioOutput() {
#ifdef TALVEX_HAVE_PORTAUDIO
    return std::make_unique<CHfcPortAudioOutput>();
#else
    return nullptr;
#endif
}
