#include <cstddef>
#include <cstdint>

#include "audio/CTarnWaveFileIO.h"
#include "data/CEfException.h"
#include "data/CTarnCurrentSettingData.h"
#include "data/CTarnSampleData.h"
#include "framework/CHfcFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CHfcFile file;
    if (!file.OpenMemory(data, size)) {
        return 0;
    }
    CTarnSampleData sample;
    CTarnCurrentSettingData setting;
    try {
        CTarnWaveFileIO().Read(sample, &setting, file);
    } catch (const CEfException&) {
    }
    return 0;
}
