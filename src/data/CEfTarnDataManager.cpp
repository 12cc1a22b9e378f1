#include "data/CEfTarnDataManager.h"

#include <limits>

CEfTarnDataManager::~CEfTarnDataManager() {
    RemoveAll();
}

void CEfTarnDataManager::Open() {
    if (open_) {
        return;
    }
    counter_ = 1;
    items_.clear();
    open_ = true;
}

void CEfTarnDataManager::Close() {
    if (!open_) {
        return;
    }
    RemoveAll();
    open_ = false;
}

CEfData* CEfTarnDataManager::CreateData(int32_t handle) {
    if (items_.count(handle) != 0) {
        return nullptr;
    }
    return items_.emplace(handle, NewItem()).first->second.get();
}

bool CEfTarnDataManager::RemoveData(const CEfData* item) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (it->second.get() == item) {
            items_.erase(it);
            return true;
        }
    }
    return false;
}

bool CEfTarnDataManager::RemoveHandle(int32_t handle) {
    return items_.erase(handle) != 0;
}

void CEfTarnDataManager::RemoveAll() {
    items_.clear();
}

CEfData* CEfTarnDataManager::FindData(int32_t handle) const {
    const auto it = items_.find(handle);
    return it == items_.end() ? nullptr : it->second.get();
}

int32_t CEfTarnDataManager::NewHandle() {
    if (counter_ == -2) {
        counter_ = 1;
    }
    const int32_t handle = counter_;
    counter_ = handle == std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::min()
                                                             : handle + 1;
    return handle;
}

std::unique_ptr<CEfData> CEfTarnDataManager::NewItem() {
    return std::make_unique<CEfData>();
}
