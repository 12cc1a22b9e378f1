#pragma once

#include "data/CEfTarnDataSet.h"
#include "data/CTarnProgramMemoryData.h"

// The eight program memories in order. Construction creates them with their defaults.
class CTarnProgramMemorySet : public CEfTarnDataSet {
public:
    static constexpr int kChunksSize = CTarnProgramMemoryData::kChunkSize * 8;

    CTarnProgramMemorySet();

    // Gives memories 0-7 their defaults: the first program of their category, scale 2, key 12,
    // note range Prog. Also converts the programs of a predecessor's file.
    void Reset() override { SetDefaults(); }
    void SetDefaults();
    bool LoadFile(CHfcFile& file) override;
    bool SaveFile(CHfcFile& file) override;
    int GetFileSize() const override { return GetChunksSize() + 512; }

    // Replaces all memories by copies of other's.
    virtual bool CopyFrom(const CTarnProgramMemorySet* other);
    // Reads eight PROG chunks into memories 0-7; stops at the first failure.
    virtual bool LoadChunk(CHfcFile& file);
    virtual bool SaveChunk(CHfcFile& file);
    virtual int GetChunksSize() const { return kChunksSize; }

    CTarnProgramMemoryData* Memory(int index) const;

protected:
    std::unique_ptr<CEfData> CreateItem() override;
};
