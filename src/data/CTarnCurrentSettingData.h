#pragma once

#include <array>
#include <cstdint>

#include "data/CEfTarnData.h"
#include "data/ParamAddress.h"

// The instrument's current setting as its 8-byte image: tempo × 10 and three byte values that
// the editor only stores and files.
class CTarnCurrentSettingData : public CEfTarnData {
public:
    static constexpr int kImageSize = 8;
    static constexpr int kChunkSize = 1024;
    static constexpr int kDefaultTempo = 1200;

    enum Param : int32_t { kParamTempo = 0, kParamValue1 = 1, kParamValue2 = 2, kParamValue3 = 3 };

    CTarnCurrentSettingData();

    void Initialize() override;
    int GetFileSize() const override { return GetChunkSize() + 512; }

    virtual bool CopyFrom(const CTarnCurrentSettingData* other);
    virtual bool LoadChunk(CHfcFile& file);
    virtual bool SaveChunk(CHfcFile& file);
    virtual int GetChunkSize() const { return kChunkSize; }
    virtual void SetParameter(ParamAddress address, int value);
    virtual int GetParameter(ParamAddress address) const;

    // Copies 8 bytes from src; null is ignored.
    void SetNativeData(const uint8_t* src);
    const uint8_t* GetNativeData() const { return image_.data(); }

private:
    std::array<uint8_t, kImageSize> image_{};
};
