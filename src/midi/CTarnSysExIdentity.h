#pragma once

#include <cstdint>
#include <span>

// The contents of a MIDI identity reply (F0 7E dd 06 02 mm ff ff nn nn v1 v1 v2 v2 F7).
class CTarnSysExIdentity {
public:
    static constexpr uint8_t kManufacturerId = 0x42;
    static constexpr int kFamily = 155;
    static constexpr int kMember = 0;

    int channel = 0; // low nibble of the device ID: the channel of all later messages
    int manufacturer = 0;
    int family = 0;
    int member = 0;
    int version1 = 0;
    int version2 = 0;

    // Fills the fields from a 15-byte identity reply; false (fields untouched) for anything else.
    bool Decode(std::span<const uint8_t> reply);

    // The transfer manager's check: manufacturer 42, family 155, member 0.
    bool IsTalvex() const;

    // The port scanner's check on the raw reply: 15 bytes, F0 7E .. 06 02 42, family 155 and
    // both member bytes 0; the device ID is not looked at.
    static bool IsTalvexIdentityReply(std::span<const uint8_t> reply);
};
