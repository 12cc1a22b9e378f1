#include "data/CEfObject.h"

#include <cstring>

int32_t CEfObject::Release() {
    if (refCount_ <= 1) {
        delete this;
        return 0;
    }
    return --refCount_;
}

void CEfObject::SetName(const char* name) {
    name_.fill('\0');
    if (name) {
        std::strncpy(name_.data(), name, kNameSize - 1);
    }
}
