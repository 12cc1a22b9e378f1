#pragma once

#include <array>
#include <cstdint>

#include "data/CEfTarnData.h"
#include "data/ParamAddress.h"

// One program memory as the instrument's 30-byte image: program number, scale, key and note
// range, plus bytes the editor never interprets and carries through unchanged.
class CTarnProgramMemoryData : public CEfTarnData {
public:
    static constexpr int kImageSize = 30;
    static constexpr int kBlockSize = 40;
    static constexpr int kChunkSize = 1024;
    static constexpr int kMemoryCount = 8;
    static constexpr uint32_t kTag = ef::FourCC("TXPP");

    enum Param : int32_t {
        kParamProgram = 0,
        kParamValue1 = 1,
        kParamValue2 = 2,
        kParamScale = 3,
        kParamKey = 4,
        kParamNoteRange = 5,
    };
    static constexpr int kDefaultScale = 2;
    static constexpr int kDefaultKey = 12;
    static constexpr int kKeyBias = 48;

    // The default program of memory index (the first program of category index).
    static int DefaultProgramOf(int index);

    CTarnProgramMemoryData();

    // A memory's defaults depend on its place; the set gives them (SetDefaults).
    void Initialize() override {}
    int GetFileSize() const override { return GetChunkSize() + 512; }
    int GetBlockDataSize() const override { return kBlockSize; }
    bool SetBlockData(const uint8_t* in, int size) override;
    bool IsBlockDataValid(const uint8_t* in, int size) const override;
    uint32_t GetBlockTag() const override { return kTag; }

    // Zero image with the defaults of memory index (0-7).
    virtual void InitForMemory(int index);
    virtual bool CopyFrom(const CTarnProgramMemoryData* other);
    virtual bool LoadChunk(CHfcFile& file);
    virtual bool SaveChunk(CHfcFile& file);
    virtual int GetChunkSize() const { return kChunkSize; }
    virtual void SetParameter(ParamAddress address, int value);
    virtual int GetParameter(ParamAddress address) const;
    // The clipboard block: tag, the index of the memory copied (32-bit little-endian), the image.
    // Bytes 38-39 of out are not written.
    virtual bool GetBlockData(uint8_t* out, int size, int sourceIndex) const;
    using CEfTarnData::GetBlockData;

    // Copies 30 bytes from src; null is ignored.
    void SetNativeData(const uint8_t* src);
    const uint8_t* GetNativeData() const { return image_.data(); }
    // The source memory index stored in a valid block; -1 for an invalid one.
    int SourceIndexOf(const uint8_t* in, int size) const;

private:
    std::array<uint8_t, kImageSize> image_{};
};
