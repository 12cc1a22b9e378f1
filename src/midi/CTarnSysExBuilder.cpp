#include "midi/CTarnSysExBuilder.h"

#include "midi/CTarnSysExPacking.h"

namespace {

constexpr uint8_t kHeader[] = {0xf0, 0x42, 0x30, 0x00, 0x01, 0x1b};
constexpr uint8_t kEox = 0xf7;

// Header, function code, optional data bytes, room for packed data of n bytes, F7.
std::vector<uint8_t> Frame(uint8_t function, std::initializer_list<uint8_t> data,
                           std::span<const uint8_t> image) {
    std::vector<uint8_t> message(std::begin(kHeader), std::end(kHeader));
    message.push_back(function);
    message.insert(message.end(), data.begin(), data.end());
    size_t start = message.size();
    message.resize(start + CTarnSysExPacking::PackedSize(image.size()));
    CTarnSysExPacking::Pack(message.data() + start, image.data(), image.size());
    message.push_back(kEox);
    return message;
}

uint8_t DataByte(int value) {
    return static_cast<uint8_t>(value & 0x7f);
}

} // namespace

std::vector<uint8_t> CTarnSysExBuilder::DeviceInquiry() {
    return {0xf0, 0x7e, 0x7f, 0x06, 0x01, 0xf7};
}

std::vector<uint8_t> CTarnSysExBuilder::GlobalDataDumpRequest() {
    return Frame(0x0e, {}, {});
}

std::vector<uint8_t> CTarnSysExBuilder::ProgramMemoryDumpRequest(int programNumber) {
    return Frame(0x1c, {DataByte(programNumber)}, {});
}

std::vector<uint8_t> CTarnSysExBuilder::SampleHeaderDumpRequest(int bank) {
    return Frame(0x1e, {DataByte(bank)}, {});
}

std::vector<uint8_t> CTarnSysExBuilder::SampleDataRequest() {
    return Frame(0x27, {}, {});
}

std::vector<uint8_t> CTarnSysExBuilder::GlobalDataDump(std::span<const uint8_t> globalImage) {
    if (globalImage.size() != kGlobalImageSize) {
        return {};
    }
    return Frame(0x51, {}, globalImage);
}

std::vector<uint8_t> CTarnSysExBuilder::ProgramMemoryDump(int programNumber,
                                                          std::span<const uint8_t> programImage) {
    if (programImage.size() != kProgramMemoryImageSize) {
        return {};
    }
    return Frame(0x4c, {DataByte(programNumber)}, programImage);
}

std::vector<uint8_t> CTarnSysExBuilder::SampleHeaderDump(int bank,
                                                         std::span<const uint8_t> header) {
    if (header.size() != kSampleHeaderSize) {
        return {};
    }
    return Frame(0x4e, {DataByte(bank)}, header);
}

std::vector<uint8_t> CTarnSysExBuilder::SampleDataDump(std::span<const uint8_t> sampleData) {
    return Frame(0x4f, {0x00, 0x00}, sampleData);
}

void CTarnSysExBuilder::PatchChannel(std::span<uint8_t> message, int channel) {
    if (message.size() < 3 || message[0] != 0xf0 || message[1] != 0x42) {
        return;
    }
    message[2] = static_cast<uint8_t>((message[2] & 0xf0) | (channel & 0x0f));
}
