#include "audio/CTarnAudioFormatException.h"

#include <utility>

#include "framework/CEfAlert.h"
#include "framework/CTarnMessageBox.h"

CTarnAudioFormatException::CTarnAudioFormatException(int32_t code, std::string description)
    : CTarnFileException(code), description_(std::move(description)) {
    const char* message = CTarnFileException::GetMessage();
    text_ = std::string(message ? message : "") + "\n" + description_;
}

const char* CTarnAudioFormatException::GetMessage() const {
    return text_.c_str();
}

void CTarnAudioFormatException::Report() const {
    CEfAlert(text_, CTarnMessageBox::Caption(), CTarnMessageBox::kErrorStyle);
}
