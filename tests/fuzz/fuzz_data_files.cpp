#include <cstddef>
#include <cstdint>

#include "data/CEfException.h"
#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "data/CTarnProgramMemorySet.h"
#include "framework/CHfcFile.h"

namespace {

// Loads the input as one editor data file type into a temporary and copies it on success, as
// the file objects do.
template <class Data> void LoadAs(const uint8_t* data, size_t size) {
    CHfcFile file;
    if (!file.OpenMemory(data, size)) {
        return;
    }
    // One target lives across runs: an all-data set allocates four full banks.
    static Data target;
    Data temporary;
    try {
        if (temporary.LoadFile(file)) {
            target.CopyFrom(&temporary);
        }
    } catch (const CEfException&) {
    }
}

} // namespace

// Every input is tried as a global data, program memory and all-data file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadAs<CTarnGlobalData>(data, size);
    LoadAs<CTarnProgramMemorySet>(data, size);
    LoadAs<CTarnAllData>(data, size);
    return 0;
}
