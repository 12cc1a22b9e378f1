#pragma once

#include <array>
#include <cstdint>

#include "data/CEfTarnData.h"
#include "data/ExtCtrlEntry.h"
#include "data/ParamAddress.h"

// The instrument's global settings as its own 256-byte image: settings, MIDI filters and channel,
// pad scroll text, CC map and the external-controller records. Every parameter is a bit field of
// the image; writes mask to the field width. Bytes no parameter reaches are kept as they are.
class CTarnGlobalData : public CEfTarnData {
public:
    static constexpr int kImageSize = 256;
    static constexpr int kBlockSize = 4 + kImageSize;
    static constexpr int kChunkSize = 512;
    static constexpr uint32_t kTag = ef::FourCC("TXPG");

    // Parameter ids with a special meaning.
    enum Param : int32_t {
        kParamReserved = 0,
        kParamIllumination = 1,
        kParamScrollText = 2,
        kParamNameDisplay = 3,
        kParamScrollSpeed = 4,
        kParamFilterSysEx = 5,
        kParamFilterNote = 6,
        kParamFilterCc = 7,
        kParamFilterProgramChange = 8,
        kParamClock = 9,
        kParamBpmSync = 10,
        kParamTouchCorrection = 11,
        kParamProgramLoad = 12,
        kParamMidiChannel = 13,
        kParamCcMapFirst = 14,
        kParamCcMapLast = 24,
        kParamPadPattern = 25,
        kParamSwitchFirst = 26,
        kParamSwitchLast = 39,
        kParamSliderFirst = 40,
        kParamSliderLast = 41,
        kParamPadNoteEnable = 42,
        kParamPadNoteGlobal = 43,
        kParamPadNoteChannel = 44,
        kParamPadNoteRangeFirst = 45,
        kParamPadNoteRangeLast = 50,
        kParamPadNoteOffVelocity = 51,
        kParamPadNoteOnVelocity = 52,
        kParamPadAssignFirst = 53,
        kParamPadAssignLast = 60,
    };

    // Sub-indexes (index1) of the CC map and the controller records.
    enum Sub : int32_t {
        kSubEnable = 0,
        kSubSwitchType = 1,
        kSubRealtime = 2,
        kSubChannel = 3,
        kSubMessageKind = 4,
        kSubNumber = 5,
        kSubGlobalFlag = 6,
        kSubOffValue = 7,
        kSubOnValue = 8,
    };

    // The channel value that stands for "the global channel".
    static constexpr int kGlobalChannel = 16;

    enum ExtCtrlKind : int32_t { kSwitch = 0, kSlider = 1, kPadAssign = 2, kPadNote = 3 };
    static constexpr int kExtCtrlRows = 18;
    // Kind, first parameter id and image offset of a controller row; -1 for a row outside 0-17.
    static int ExtCtrlKindOf(int row);
    static int ExtCtrlParamOf(int row);
    static int ExtCtrlOffsetOf(int row);

    CTarnGlobalData();

    void Initialize() override;
    bool LoadFile(CHfcFile& file) override;
    bool SaveFile(CHfcFile& file) override;
    int GetFileSize() const override { return GetChunkSize() + 512; }
    int GetBlockDataSize() const override { return kBlockSize; }
    bool GetBlockData(uint8_t* out, int size) const override;
    bool SetBlockData(const uint8_t* in, int size) override;
    bool IsBlockDataValid(const uint8_t* in, int size) const override;
    uint32_t GetBlockTag() const override { return kTag; }

    virtual bool CopyFrom(const CTarnGlobalData* other);
    virtual bool LoadChunk(CHfcFile& file);
    virtual bool SaveChunk(CHfcFile& file);
    virtual int GetChunkSize() const { return kChunkSize; }
    virtual void SetParameter(ParamAddress address, int value);
    virtual int GetParameter(ParamAddress address) const;

    // Copies 256 bytes from src; null is ignored.
    void SetNativeData(const uint8_t* src);
    const uint8_t* GetNativeData() const { return image_.data(); }

    // Copies the ten text characters and a NUL when size >= 11; otherwise does nothing.
    void GetScrollText(char* out, int size) const;
    // Keeps at most ten characters; the rest of the field is NUL. Null is ignored.
    void SetScrollText(const char* text);

    // Rows of kind switch or slider only.
    bool GetExtCtrlEntry(int row, ExtCtrlEntry* out) const;
    bool SetExtCtrlEntry(int row, const ExtCtrlEntry* in);
    // Gives a switch or slider row its reset bytes; other rows are left alone.
    void InitExtCtrlEntry(int row);

    // The factory image the constructor and Initialize restore.
    static const std::array<uint8_t, kImageSize>& FactoryImage();

private:
    std::array<uint8_t, kImageSize> image_;
};
