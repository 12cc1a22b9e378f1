#include "data/CEfTarnDataSet.h"

bool CEfTarnDataSet::LoadFile(CHfcFile&) {
    return false;
}

bool CEfTarnDataSet::SaveFile(CHfcFile&) {
    return false;
}

bool CEfTarnDataSet::GetBlockData(uint8_t*, int) const {
    return false;
}

bool CEfTarnDataSet::SetBlockData(const uint8_t*, int) {
    return false;
}

bool CEfTarnDataSet::IsBlockDataValid(const uint8_t*, int) const {
    return false;
}
