#include <cstddef>
#include <cstdint>

#include "data/CEfException.h"
#include "data/CTarnAllData.h"
#include "data/CTarnGlobalData.h"
#include "data/CTarnProgramMemorySet.h"
#include "framework/CHfcFile.h"

namespace {

// Loads the input as one editor data file type into a fresh temporary and hands it to the
// target on success, as the file objects do. The target lives across runs (an all-data set holds
// four full banks); each run's temporary starts from its class's defaults, so runs stay
// independent.
template <class Data, class Take>
void LoadAs(const uint8_t* data, size_t size, Data& temporary, Take take) {
    CHfcFile file;
    if (!file.OpenMemory(data, size)) {
        return;
    }
    try {
        if (temporary.LoadFile(file)) {
            take(temporary);
        }
    } catch (const CEfException&) {
    }
}

} // namespace

// Every input is tried as a global data, program memory and all-data file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTarnAllData target;
    {
        CTarnGlobalData temporary;
        LoadAs(data, size, temporary, [](CTarnGlobalData& t) { target.Global().CopyFrom(&t); });
    }
    {
        CTarnProgramMemorySet temporary;
        LoadAs(data, size, temporary,
               [](CTarnProgramMemorySet& t) { target.Programs().CopyFrom(&t); });
    }
    {
        // Its banks get buffers only from the SMPL chunks the input holds.
        CTarnAllData temporary(CTarnSampleSet::Buffers::kNone);
        LoadAs(data, size, temporary, [](CTarnAllData& t) { target.MoveFrom(&t); });
    }
    return 0;
}
