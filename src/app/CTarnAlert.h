#pragma once

#include <cstdint>
#include <string>

// The question before unsaved changes are dropped: "Save changes to NAME ?" with Yes, No and
// Cancel and the warning icon. Returns CEfAlert's result (2 Yes, 3 No, 0 Cancel or closed).
class CTarnAlert {
public:
    static constexpr uint8_t kStyle = 141;
    static std::string Text(const std::string& fileName);
    static int AskToSave(const std::string& fileName);
};
