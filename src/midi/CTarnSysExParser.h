#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Classifies a complete SysEx message received from the instrument into a reply kind and takes
// out its payload. Never throws; foreign messages give kUnknown, a known function code with the
// wrong length gives kWrongLength.
class CTarnSysExParser {
public:
    static constexpr int kWrongLength = -2;
    static constexpr int kUnknown = -1;
    static constexpr int kIdentityReply = 0;
    static constexpr int kCompletedReply = 1;
    static constexpr int kErrorReply = 2;
    static constexpr int kFunction01 = 3;
    static constexpr int kGlobalDataDump = 4;
    static constexpr int kProgramMemoryDump = 5;
    static constexpr int kSampleHeaderDump = 6;
    static constexpr int kReadyReply = 7;
    static constexpr int kSampleDataDump = 8;
    static constexpr int kBusyUsbOrCard = 9;
    static constexpr int kBusyRecording = 10;
    static constexpr int kFunction31 = 11;

    // Returns the reply kind. When the kind is 0 or more and payload is given, the payload is
    // replaced: the nine bytes 5 to 13 of an identity reply; for instrument messages the bytes
    // from the kind's payload start (at most length - 8 of them, never past the end), empty for
    // the eight-byte replies. Unrecognised messages leave the payload untouched.
    static int Parse(std::span<const uint8_t> message, std::vector<uint8_t>* payload = nullptr);

    // Required total length of a kind (kSampleDataDump: the minimum), 0 for unknown kinds.
    static size_t RequiredLength(int kind);

    // Unpacked sample data a sample header announces: ((NumSamples >> 10) + 1) * 4 bytes, where
    // NumSamples is the big-endian value at header bytes 4 to 7. 0 when NumSamples < 1 (an empty
    // bank, for which no data is exchanged) or the header is shorter than 8 bytes.
    static size_t ExpectedSampleDataSize(std::span<const uint8_t> sampleHeader);

    // Unpacked bytes carried by a sample data dump of the given total length: (L - 10) * 7 / 8,
    // 0 for messages of 10 bytes or fewer.
    static size_t SampleDataSizeOfDump(size_t totalLength);
};
