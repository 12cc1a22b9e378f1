#include "platform/DefaultAudioOutput.h"

#include "platform/CHfcBackendModule.h"
#include "platform/HfcBackendModuleAbi.h"

std::unique_ptr<CHfcAudioOutput> CreateDefaultAudioOutput() {
#ifdef TALVEX_HAVE_PORTAUDIO
    using Create = CHfcAudioOutput* (*)();
    if (const auto create = reinterpret_cast<Create>(
            PortAudioBackendModule().Function(kHfcCreateAudioOutputSymbol))) {
        return std::unique_ptr<CHfcAudioOutput>(create());
    }
#endif
    return nullptr;
}
