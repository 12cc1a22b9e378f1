#include "platform/SystemMidiDriver.h"

#include "platform/CHfcBackendModule.h"
#include "platform/CVirtualMidiDriver.h"
#include "platform/HfcBackendModuleAbi.h"

std::unique_ptr<CHfcMidiDriver> CreateSystemMidiDriver() {
#ifdef TALVEX_HAVE_ALSA_MODULE
    using Create = CHfcMidiDriver* (*)();
    if (const auto create =
            reinterpret_cast<Create>(AlsaBackendModule().Function(kHfcCreateMidiDriverSymbol))) {
        if (CHfcMidiDriver* driver = create()) {
            return std::unique_ptr<CHfcMidiDriver>(driver);
        }
    }
#endif
    return std::make_unique<CVirtualMidiDriver>();
}
