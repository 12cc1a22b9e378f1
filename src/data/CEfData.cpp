#include "data/CEfData.h"

bool CEfData::CopyAttributes(const CEfData* other) {
    if (!other) {
        return false;
    }
    SetUserData1(other->GetUserData1());
    SetUserObject(other->GetUserObject());
    SetUserData2(other->GetUserData2());
    SetModified(other->GetModified());
    return true;
}

CEfData& CEfData::Assign(const CEfData& other) {
    CopyAttributes(&other);
    return *this;
}
