#pragma once

#include <cstdint>

#include "data/CEfData.h"
#include "framework/EfByteOrder.h"

class CHfcFile;

// An item of instrument data: whole-file load and save, clipboard block data and a block tag.
// The defaults below are what an item does that does not offer the operation. File operations
// throw CTarnFileException on errors.
class CEfTarnData : public CEfData {
public:
    static constexpr uint32_t kDefaultTag = ef::FourCC("EFDt");

    // Restores the defaults of the item.
    void Reset() override { Initialize(); }

    virtual bool LoadFile(CHfcFile& file);
    virtual bool SaveFile(CHfcFile& file);
    // Bytes SaveFile writes.
    virtual int GetFileSize() const { return 0; }

    // Reserved operations kept for subclasses of other instruments; no class here uses them.
    virtual void Reserved1(int, int) {}
    virtual int Reserved2(int) const { return 0; }
    virtual int Reserved3(int) const { return 0; }
    virtual int Reserved4(int) const { return 127; }
    virtual void Reserved5(int, int, int, int) {}
    virtual void Reserved6(int a, int b, int c) { Reserved5(a, b, Reserved2(b), c); }
    virtual void Reserved7(int, int, int) {}

    // The clipboard form: the block tag (32-bit little-endian) followed by the class's layout.
    virtual int GetBlockDataSize() const { return 0; }
    virtual bool GetBlockData(uint8_t* out, int size) const;
    virtual bool SetBlockData(const uint8_t* in, int size);
    virtual bool IsBlockDataValid(const uint8_t* in, int size) const;
    virtual uint32_t GetBlockTag() const { return kDefaultTag; }
    virtual bool IsBlockTag(int32_t value) const {
        return static_cast<uint32_t>(value) == GetBlockTag();
    }

protected:
    // True when a block is longer than fixedSize and starts with this class's tag.
    bool HasBlockHeader(const uint8_t* in, int size, int fixedSize) const;
};
