#pragma once

#include <memory>

#include "data/CEfTarnDataSet.h"
#include "data/CTarnSampleData.h"

// The four loop-recorder banks A, B, C, D in order. A new set holds four silent 48 kHz banks.
class CTarnSampleSet : public CEfTarnDataSet {
public:
    static constexpr int kBankCount = 4;

    // What the banks of a new set hold: silent 48 kHz buffers, or no buffer at all for a set that
    // a load is about to fill (allocating and zeroing four full buffers first would be wasted).
    enum class Buffers { kSilent, kNone };

    CTarnSampleSet() : CTarnSampleSet(Buffers::kSilent) {}
    explicit CTarnSampleSet(Buffers buffers);
    ~CTarnSampleSet() override = default;

    // Initializes every bank.
    void Reset() override;
    CTarnSampleData* AddNew() override;
    CTarnSampleData* InsertNew(int index) override;
    CTarnSampleData* At(int index) const override;

    // Replaces every bank with a copy of other's banks.
    virtual void CopyFrom(const CTarnSampleSet* other);
    // As CopyFrom, but each bank takes the buffer of other's bank instead of copying it; other's
    // banks are left without audio. Banks stay the same objects when the counts match.
    void MoveFrom(CTarnSampleSet* other);

protected:
    std::unique_ptr<CEfData> CreateItem() override;
};
