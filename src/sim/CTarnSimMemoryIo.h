#pragma once

#include <string>

#include "sim/CTarnSimMemory.h"

class CTarnAllData;

// Moves the virtual instrument's memory between its native images and the editor's data
// classes, and so to and from all-data files (.t2a).
class CTarnSimMemoryIo {
public:
    // What the instrument holds when the editor starts fresh: its default data.
    static CTarnSimMemory Defaults();
    static CTarnSimMemory FromAllData(const CTarnAllData& all);
    // False when a bank refuses its data; all is then partly filled.
    static bool ToAllData(const CTarnSimMemory& memory, CTarnAllData& all);

    // False, with the reason in error, when the file cannot be read; memory is then unchanged.
    static bool Load(const std::string& path, CTarnSimMemory& memory, std::string& error);
    static bool Save(const std::string& path, const CTarnSimMemory& memory, std::string& error);
};
