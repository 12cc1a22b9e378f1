#pragma once

#include "data/CTarnException.h"

// Errors of MIDI communication, codes 0 to 12 (see the code constants).
class CTarnMidiException : public CTarnException {
public:
    enum Code : int32_t {
        kNoPort = 0,
        kDeviceNotFound = 1,
        kPortOpenFailed = 2,
        kDeviceError = 3,
        kTimeout = 4,
        kWrongDevice = 5,
        kCannotCommunicate = 6,
        kOutOfMemory = 7,
        kSendFailed = 8,
        kIncomplete = 9,
        kDriverMissing = 10,
        kDeviceBusy = 11,
        kDeviceRecording = 12,
    };

    explicit CTarnMidiException(int32_t code) : CTarnException(code) {}

    int MessageOf(int code) const override;
};
