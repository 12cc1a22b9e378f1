#pragma once

#include "data/CTarnException.h"

// Errors of file reading and writing, codes 0 to 15 (see the code constants).
class CTarnFileException : public CTarnException {
public:
    enum Code : int32_t {
        kOpenFailed = 0,
        kFormatNotSupported = 1,
        kReadFailed = 2,
        kWriteFailed = 3,
        kWrongFormat = 4,
        kOutOfMemory = 5,
        kChecksum = 6,
        kSampleRate = 7,
        kBitDepth = 8,
        kChannels = 9,
        kWaveFormat = 10,
        kCompressedAiff = 11,
        kSetSampleFailed = 12,
        kNotEnoughData = 13,
        kAudioReadFailed = 14,
        // A compressed file while no decoder for it could be loaded.
        kNoDecoder = 15,
    };

    explicit CTarnFileException(int32_t code) : CTarnException(code) {}

    int MessageOf(int code) const override;
};
