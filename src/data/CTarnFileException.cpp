#include "data/CTarnFileException.h"

int CTarnFileException::MessageOf(int code) const {
    return code >= 0 && code <= kAudioReadFailed ? code + 1 : 0;
}
