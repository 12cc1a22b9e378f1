#pragma once

#include <memory>

#include "data/CEfTarnDataSet.h"
#include "data/CTarnSampleData.h"

// The four loop-recorder banks A, B, C, D in order. A new set holds four silent 48 kHz banks.
class CTarnSampleSet : public CEfTarnDataSet {
public:
    static constexpr int kBankCount = 4;

    CTarnSampleSet();
    ~CTarnSampleSet() override = default;

    // Initializes every bank.
    void Reset() override;
    CTarnSampleData* AddNew() override;
    CTarnSampleData* InsertNew(int index) override;
    CTarnSampleData* At(int index) const override;

    // Replaces every bank with a copy of other's banks.
    virtual void CopyFrom(const CTarnSampleSet* other);

protected:
    std::unique_ptr<CEfData> CreateItem() override;
};
