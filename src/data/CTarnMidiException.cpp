#include "data/CTarnMidiException.h"

int CTarnMidiException::MessageOf(int code) const {
    return code >= 0 && code <= kDeviceRecording ? code + 16 : 0;
}
