#include "midi/CTarnSysExIdentity.h"

namespace {

constexpr size_t kReplyLength = 15;

int Word14(uint8_t low, uint8_t high) {
    return (low & 0x7f) + 128 * (high & 0x7f);
}

bool IsIdentityReply(std::span<const uint8_t> reply) {
    return reply.size() == kReplyLength && reply[0] == 0xf0 && reply[1] == 0x7e &&
           reply[3] == 0x06 && reply[4] == 0x02;
}

} // namespace

bool CTarnSysExIdentity::Decode(std::span<const uint8_t> reply) {
    if (!IsIdentityReply(reply)) {
        return false;
    }
    channel = reply[2] & 0x0f;
    manufacturer = reply[5];
    family = Word14(reply[6], reply[7]);
    member = Word14(reply[8], reply[9]);
    version1 = Word14(reply[10], reply[11]);
    version2 = Word14(reply[12], reply[13]);
    return true;
}

bool CTarnSysExIdentity::IsTalvex() const {
    return manufacturer == kManufacturerId && family == kFamily && member == kMember;
}

bool CTarnSysExIdentity::IsTalvexIdentityReply(std::span<const uint8_t> reply) {
    return IsIdentityReply(reply) && reply[5] == kManufacturerId &&
           Word14(reply[6], reply[7]) == kFamily && (reply[8] & 0x7f) == 0 &&
           (reply[9] & 0x7f) == 0;
}
