#include "midi/CTarnSysExParser.h"

#include <algorithm>

#include "framework/EfByteOrder.h"
#include "midi/CTarnSysExPacking.h"

namespace {

struct FunctionEntry {
    uint8_t code;
    int kind;
    size_t length; // exact total length; the minimum for the sample data dump
    size_t payloadStart;
};

using P = CTarnSysExParser;

constexpr FunctionEntry kFunctions[] = {
    {0x21, P::kCompletedReply, 8, 7},
    {0x22, P::kErrorReply, 8, 7},
    {0x01, P::kFunction01, 9, 7},
    {0x51, P::kGlobalDataDump, CTarnSysExPacking::PackedSize(256) + 8, 7},
    {0x4c, P::kProgramMemoryDump, CTarnSysExPacking::PackedSize(30) + 9, 8},
    {0x4e, P::kSampleHeaderDump, CTarnSysExPacking::PackedSize(16) + 9, 8},
    {0x27, P::kReadyReply, 8, 7},
    {0x4f, P::kSampleDataDump, 9, 9},
    {0x28, P::kBusyUsbOrCard, 8, 7},
    {0x29, P::kBusyRecording, 8, 7},
    {0x31, P::kFunction31, CTarnSysExPacking::PackedSize(8) + 8, 7},
};

constexpr size_t kIdentityLength = 15;
constexpr size_t kIdentityPayloadStart = 5;
constexpr size_t kIdentityPayloadLength = 9;
constexpr size_t kInstrumentHeaderLength = 7;

const FunctionEntry* FindFunction(uint8_t code) {
    for (const FunctionEntry& entry : kFunctions) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

int ParseIdentity(std::span<const uint8_t> m, std::vector<uint8_t>* payload) {
    if (m.size() != kIdentityLength || m[3] != 0x06 || m[4] != 0x02) {
        return P::kUnknown;
    }
    if (payload) {
        auto start = m.begin() + kIdentityPayloadStart;
        payload->assign(start, start + kIdentityPayloadLength);
    }
    return P::kIdentityReply;
}

int ParseInstrument(std::span<const uint8_t> m, std::vector<uint8_t>* payload) {
    if (m.size() < kInstrumentHeaderLength || (m[2] & 0xf0) != 0x30 || m[3] != 0x00 ||
        m[4] != 0x01 || m[5] != 0x1b) {
        return P::kUnknown;
    }
    const FunctionEntry* entry = FindFunction(m[6]);
    if (!entry) {
        return P::kUnknown;
    }
    bool lengthOk =
        entry->kind == P::kSampleDataDump ? m.size() >= entry->length : m.size() == entry->length;
    if (!lengthOk) {
        return P::kWrongLength;
    }
    if (payload) {
        // length - 8 bytes from the payload start, but never past the end of the message: a
        // sample data dump's payload starts one byte later than the other dumps'.
        size_t count = std::min(m.size() - 8, m.size() - std::min(m.size(), entry->payloadStart));
        auto start = m.begin() + static_cast<std::ptrdiff_t>(entry->payloadStart);
        payload->assign(start, start + static_cast<std::ptrdiff_t>(count));
    }
    return entry->kind;
}

} // namespace

int CTarnSysExParser::Parse(std::span<const uint8_t> message, std::vector<uint8_t>* payload) {
    if (message.size() < 2 || message[0] != 0xf0) {
        return kUnknown;
    }
    switch (message[1]) {
    case 0x7e:
        return ParseIdentity(message, payload);
    case 0x42:
        return ParseInstrument(message, payload);
    default:
        return kUnknown;
    }
}

size_t CTarnSysExParser::RequiredLength(int kind) {
    if (kind == kIdentityReply) {
        return kIdentityLength;
    }
    for (const FunctionEntry& entry : kFunctions) {
        if (entry.kind == kind) {
            return entry.length;
        }
    }
    return 0;
}

size_t CTarnSysExParser::ExpectedSampleDataSize(std::span<const uint8_t> sampleHeader) {
    if (sampleHeader.size() < 8) {
        return 0;
    }
    auto numSamples = static_cast<int32_t>(ef::ReadBE32(sampleHeader.data() + 4));
    if (numSamples < 1) {
        return 0;
    }
    return ((static_cast<size_t>(numSamples) >> 10) + 1) * 4;
}

size_t CTarnSysExParser::SampleDataSizeOfDump(size_t totalLength) {
    return totalLength <= 10 ? 0 : (totalLength - 10) * 7 / 8;
}
