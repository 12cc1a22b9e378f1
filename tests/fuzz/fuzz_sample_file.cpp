#include <cstddef>
#include <cstdint>

#include "data/CEfException.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CHfcFile file;
    if (!file.OpenMemory(data, size)) {
        return 0;
    }
    CTarnSampleData sample;
    try {
        sample.LoadFile(file);
    } catch (const CEfException&) {
    }
    return 0;
}
