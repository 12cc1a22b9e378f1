#pragma once

#include <string>

#include "data/CTarnFileException.h"

// A refused audio file: the code's message, then a second line naming what the file holds
// ("IEEE float, 32-bit, 96000 Hz, 6 channels"), so the user knows what to convert it to.
class CTarnAudioFormatException : public CTarnFileException {
public:
    CTarnAudioFormatException(int32_t code, std::string description);

    const std::string& Description() const { return description_; }
    // The code's message and the description on the next line.
    const char* GetMessage() const override;
    void Report() const override;

private:
    std::string description_;
    std::string text_;
};
