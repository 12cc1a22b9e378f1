#include "data/CEfDataSet.h"

void CEfDataSet::Initialize() {
    items_.clear();
}

CEfData* CEfDataSet::AddNew() {
    items_.push_back(CreateItem());
    return items_.back().get();
}

CEfData* CEfDataSet::InsertNew(int index) {
    if (index < 0) {
        return nullptr;
    }
    if (index >= Count()) {
        return AddNew();
    }
    return items_.insert(items_.begin() + index, CreateItem())->get();
}

bool CEfDataSet::Remove(int index) {
    if (index < 0 || index >= Count()) {
        return false;
    }
    items_.erase(items_.begin() + index);
    return true;
}

bool CEfDataSet::Swap(int i, int j) {
    CEfData* a = At(i);
    CEfData* b = At(j);
    if (!a || !b) {
        return false;
    }
    CEfData held;
    held.CopyAttributes(a);
    a->CopyAttributes(b);
    b->CopyAttributes(&held);
    return true;
}

CEfData* CEfDataSet::At(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return items_[static_cast<size_t>(index)].get();
}

CEfData& CEfDataSet::Assign(const CEfData& other) {
    CopyAttributes(&other);
    return *this;
}

std::unique_ptr<CEfData> CEfDataSet::CreateItem() {
    return std::make_unique<CEfData>();
}
