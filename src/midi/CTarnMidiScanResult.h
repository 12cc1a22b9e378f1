#pragma once

#include <string>

// The ports through which the instrument answered a search; indices -1 and empty names when
// nothing answered.
struct CTarnMidiScanResult {
    int inputIndex = -1;
    std::string inputName;
    int outputIndex = -1;
    std::string outputName;
};
