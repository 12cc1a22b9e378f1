#include "data/ExtCtrlEntry.h"

#include <algorithm>

#include "framework/EfByteOrder.h"

void ExtCtrlEntry::ToBytes(uint8_t* out) const {
    ef::WriteLE32(out, static_cast<uint32_t>(row));
    ef::WriteLE32(out + 4, static_cast<uint32_t>(kind));
    std::copy(bytes.begin(), bytes.end(), out + 8);
}

bool ExtCtrlEntry::FromBytes(const uint8_t* in, size_t size) {
    if (!in || size < kClipboardSize) {
        return false;
    }
    row = static_cast<int32_t>(ef::ReadLE32(in));
    kind = static_cast<int32_t>(ef::ReadLE32(in + 4));
    std::copy(in + 8, in + 12, bytes.begin());
    return true;
}
