#pragma once

#include <cstdint>

#include "data/CEfDataSet.h"
#include "framework/EfByteOrder.h"

class CHfcFile;

// A set of instrument data items with the whole-file and block operations of a set; the defaults
// below are what a set does that does not offer the operation.
class CEfTarnDataSet : public CEfDataSet {
public:
    static constexpr uint32_t kDefaultTag = ef::FourCC("EFDs");

    virtual bool LoadFile(CHfcFile& file);
    virtual bool SaveFile(CHfcFile& file);
    virtual int GetFileSize() const { return 0; }
    // Reserved for sets of other instruments.
    virtual int Reserved1() const { return 0; }
    virtual bool GetBlockData(uint8_t* out, int size) const;
    virtual bool SetBlockData(const uint8_t* in, int size);
    virtual bool IsBlockDataValid(const uint8_t* in, int size) const;
    virtual uint32_t GetBlockTag() const { return kDefaultTag; }
    virtual bool IsBlockTag(int32_t value) const {
        return static_cast<uint32_t>(value) == GetBlockTag();
    }
};
