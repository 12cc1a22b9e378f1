#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Builds every message the editor sends to the instrument. Instrument-specific messages are built
// with channel 0 in byte 2; the sender patches the channel in just before sending (PatchChannel).
// A dump builder given an image of the wrong size returns an empty buffer.
class CTarnSysExBuilder {
public:
    static constexpr size_t kGlobalImageSize = 256;
    static constexpr size_t kProgramMemoryImageSize = 30;
    static constexpr size_t kSampleHeaderSize = 16;
    // Bytes in front of the packed data of a sample data dump (header, function code, 00 00).
    static constexpr size_t kSampleDataDumpPrefixSize = 9;

    static std::vector<uint8_t> DeviceInquiry();
    static std::vector<uint8_t> GlobalDataDumpRequest();
    static std::vector<uint8_t> ProgramMemoryDumpRequest(int programNumber);
    static std::vector<uint8_t> SampleHeaderDumpRequest(int bank);
    static std::vector<uint8_t> SampleDataRequest();

    static std::vector<uint8_t> GlobalDataDump(std::span<const uint8_t> globalImage);
    static std::vector<uint8_t> ProgramMemoryDump(int programNumber,
                                                  std::span<const uint8_t> programImage);
    static std::vector<uint8_t> SampleHeaderDump(int bank, std::span<const uint8_t> header);
    // Any length of native sample data; the result is PackedSize(data.size()) + 10 bytes.
    static std::vector<uint8_t> SampleDataDump(std::span<const uint8_t> sampleData);

    // Sets the low nibble of byte 2 to the channel. Only instrument-specific messages (F0 42 ...)
    // are touched: the device inquiry and continuation pieces without F0 stay as they are.
    static void PatchChannel(std::span<uint8_t> message, int channel);
};
