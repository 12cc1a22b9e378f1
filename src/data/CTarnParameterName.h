#pragma once

#include <string>
#include <vector>

#include "data/ParamAddress.h"

// One parameter reachable by a stable lower-case name ("midi.channel", "program1.scale"), for
// tools that list and set parameters without the editor's pages.
struct CTarnParameterName {
    enum Target { kGlobal, kProgramMemory, kCurrentSetting };
    enum Kind {
        // An integer in minimum..maximum, optionally with one list text per value.
        kNumber,
        // The pad scroll text of the global data.
        kScrollText,
        // A program memory's category: derived from its program number; setting it selects the
        // category's first program.
        kCategory,
    };

    std::string name;
    std::string label;
    Target target = kGlobal;
    // Program memory 0-7 of kProgramMemory entries, else -1.
    int memory = -1;
    ParamAddress address;
    int minimum = 0;
    int maximum = 0;
    // Texts of the values minimum, minimum + 1, ...; empty for plain numbers.
    std::vector<std::string> texts;
    // Fields the instrument keeps but the editor never changes.
    bool readOnly = false;
    Kind kind = kNumber;
};
