#include "data/CTarnSampleSet.h"

CTarnSampleSet::CTarnSampleSet(Buffers buffers) {
    for (int i = 0; i < kBankCount; ++i) {
        CTarnSampleData* bank = AddNew();
        if (buffers == Buffers::kSilent) {
            bank->Initialize();
        }
    }
}

void CTarnSampleSet::Reset() {
    for (int i = 0; i < Count(); ++i) {
        At(i)->Initialize();
    }
}

CTarnSampleData* CTarnSampleSet::AddNew() {
    return static_cast<CTarnSampleData*>(CEfTarnDataSet::AddNew());
}

CTarnSampleData* CTarnSampleSet::InsertNew(int index) {
    return static_cast<CTarnSampleData*>(CEfTarnDataSet::InsertNew(index));
}

CTarnSampleData* CTarnSampleSet::At(int index) const {
    return static_cast<CTarnSampleData*>(CEfTarnDataSet::At(index));
}

void CTarnSampleSet::CopyFrom(const CTarnSampleSet* other) {
    if (!other || other == this) {
        return;
    }
    Initialize();
    for (int i = 0; i < other->Count(); ++i) {
        AddNew()->CopyFrom(other->At(i));
    }
}

std::unique_ptr<CEfData> CTarnSampleSet::CreateItem() {
    return std::make_unique<CTarnSampleData>();
}

void CTarnSampleSet::MoveFrom(CTarnSampleSet* other) {
    if (!other || other == this) {
        return;
    }
    if (Count() != other->Count()) {
        Initialize();
        while (Count() < other->Count()) {
            AddNew();
        }
    }
    for (int i = 0; i < other->Count(); ++i) {
        At(i)->MoveFrom(other->At(i));
    }
}
