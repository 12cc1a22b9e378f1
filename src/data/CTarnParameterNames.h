#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/CTarnParameterName.h"

class CTarnAllData;
class CTarnCurrentSettingData;
class CTarnGlobalData;
class CTarnProgramMemorySet;

// The table of named parameters: the global settings, the CC map, every external-controller
// record, the program memories and the current setting, with ranges and list texts. Values are
// checked against the range on setting (never masked), so a tool can report a mistyped value.
class CTarnParameterNames {
public:
    // The data a name can reach; a null member makes its names unavailable (a global data file
    // has no program memories).
    struct Targets {
        CTarnGlobalData* global = nullptr;
        CTarnProgramMemorySet* programs = nullptr;
        CTarnCurrentSettingData* current = nullptr;

        static Targets Of(CTarnAllData& data);
    };

    static const std::vector<CTarnParameterName>& All();
    // Case-insensitive; null for an unknown name.
    static const CTarnParameterName* Find(std::string_view name);

    // False when the entry's data is not among the targets or the entry is the scroll text.
    static bool Get(const Targets& targets, const CTarnParameterName& entry, int* value);
    // False when the data is missing, the entry is read-only or the value is out of range.
    static bool Set(const Targets& targets, const CTarnParameterName& entry, int value);

    // The value's list text, or the number when the entry has none.
    static std::string FormatValue(const CTarnParameterName& entry, int value);
    // A list text (case-insensitive) or a decimal number inside the range.
    static bool ParseValue(const CTarnParameterName& entry, std::string_view text, int* value);

    // The current value as text (the scroll text itself for the scroll text); false when the
    // entry's data is not among the targets.
    static bool Format(const Targets& targets, const CTarnParameterName& entry, std::string* text);
    // Parses and sets; on failure error says why and nothing changes.
    static bool Assign(const Targets& targets, const CTarnParameterName& entry,
                       std::string_view text, std::string* error);
};
