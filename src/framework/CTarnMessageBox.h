#pragma once

#include <cstdint>

// The program's message boxes: a message code 0 to 36 selects the text, shown with the caption
// "TALVEX PRO+ Editor" through CEfAlert.
class CTarnMessageBox {
public:
    static constexpr int kMessageCount = 37;
    // One OK button with the error icon.
    static constexpr uint8_t kErrorStyle = 0x22;
    // Yes and No buttons with the warning icon.
    static constexpr uint8_t kQuestionStyle = 0x8c;
    // One OK button with the warning icon.
    static constexpr uint8_t kWarningStyle = 0x82;

    static const char* Caption();
    // The text of a message code, null for an unknown code.
    static const char* Text(int messageCode);
    // Shows the message and returns CEfAlert's result, or -1 for an unknown code.
    static int Show(int messageCode, uint8_t style);
};
