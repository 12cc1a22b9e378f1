#include "platform/SystemMidiDriver.h"

#include "platform/CVirtualMidiDriver.h"
#ifdef TALVEX_HAVE_ALSA
#include "platform/alsa/CAlsaMidiDriver.h"
#endif

std::unique_ptr<CHfcMidiDriver> CreateSystemMidiDriver() {
#ifdef TALVEX_HAVE_ALSA
    return std::make_unique<CAlsaMidiDriver>();
#else
    return std::make_unique<CVirtualMidiDriver>();
#endif
}
