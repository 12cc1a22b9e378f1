#include "data/CEfTarnData.h"

bool CEfTarnData::LoadFile(CHfcFile&) {
    return false;
}

bool CEfTarnData::SaveFile(CHfcFile&) {
    return false;
}

bool CEfTarnData::GetBlockData(uint8_t*, int) const {
    return false;
}

bool CEfTarnData::SetBlockData(const uint8_t*, int) {
    return false;
}

bool CEfTarnData::IsBlockDataValid(const uint8_t*, int) const {
    return false;
}

bool CEfTarnData::HasBlockHeader(const uint8_t* in, int size, int fixedSize) const {
    return in && size > fixedSize && IsBlockTag(static_cast<int32_t>(ef::ReadLE32(in)));
}
