#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "midi/CTarnSysExIdentity.h"
#include "midi/CTarnSysExPacking.h"
#include "midi/CTarnSysExParser.h"

// Classifies arbitrary bytes as a received message, decodes them as an identity reply and
// unpacks whatever payload the parser took, as the transfer manager does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> message(data, size);
    std::vector<uint8_t> payload;
    int kind = CTarnSysExParser::Parse(message, &payload);
    if (kind < CTarnSysExParser::kWrongLength || kind > CTarnSysExParser::kFunction31) {
        __builtin_trap();
    }
    if (kind >= 0 && CTarnSysExParser::RequiredLength(kind) == 0) {
        __builtin_trap();
    }
    CTarnSysExIdentity identity;
    if (identity.Decode(message)) {
        (void)identity.IsTalvex();
    }
    (void)CTarnSysExIdentity::IsTalvexIdentityReply(message);
    (void)CTarnSysExParser::ExpectedSampleDataSize(message);
    size_t unpacked = payload.size() * 7 / 8;
    if (CTarnSysExPacking::PackedSize(unpacked) <= payload.size()) {
        std::vector<uint8_t> out(unpacked);
        CTarnSysExPacking::Unpack(out.data(), payload.data(), unpacked);
    }
    return 0;
}
