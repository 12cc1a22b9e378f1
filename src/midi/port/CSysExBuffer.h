#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Collects the bytes of one SysEx message while it arrives over several input segments.
class CSysExBuffer {
public:
    // Longest message collected; the largest dump of the instrument is about 2 MB. Longer input
    // is discarded so that an endless stream of data bytes cannot exhaust memory.
    static constexpr size_t kMaxLength = 8 * 1024 * 1024;

    virtual ~CSysExBuffer() = default;

    void Reset();
    // False (nothing appended) when the message would grow beyond kMaxLength.
    bool Append(uint8_t byte);
    bool Append(const uint8_t* bytes, size_t length);

    bool InSysEx() const { return inSysEx_; }
    void SetInSysEx(bool inSysEx) { inSysEx_ = inSysEx; }
    const uint8_t* Data() const { return bytes_.data(); }
    size_t Length() const { return bytes_.size(); }

private:
    bool inSysEx_ = false;
    std::vector<uint8_t> bytes_;
};
