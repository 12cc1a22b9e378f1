#pragma once

#include <array>
#include <cstdint>

#include "audio/CEfAudioData.h"
#include "data/CEfTarnData.h"
#include "data/ParamAddress.h"
#include "framework/CTarnProgressDialogListener.h"
#include "framework/EfByteOrder.h"

class CHfcFile;

// Capacity of a loop-recorder bank in frames (a little over 8.85 s at 48 kHz).
inline constexpr int32_t MaxSampleFrames = 424960;

// One loop-recorder bank: 16-bit stereo audio (held at 48 kHz, or at 44.1 kHz until it is
// stored or sent), the phrase header (tempo, lengths, level) and the editor-side preview
// settings (loop, slice and trigger flags). The native form is the 16-byte sample header plus
// the big-endian sample data; it always describes 48 kHz audio.
class CTarnSampleData : public CEfTarnData, public CEfAudioData {
public:
    static constexpr uint32_t kBlockTag = ef::FourCC("TXPS");
    static constexpr int kNativeHeaderSize = 16;
    // Fixed part of the block data that precedes the audio bytes.
    static constexpr int kBlockHeaderSize = 112;
    static constexpr int kDeviceSampleRate = 48000;
    // The one rate ConvertTo48k converts from.
    static constexpr int kSourceSampleRate = 44100;
    static constexpr int kDeviceBytesPerFrame = 4;
    static constexpr int kSliceCount = 8;
    // Indexes 0..8 of the length table.
    static constexpr int kLengthCount = 9;
    static constexpr double kMinTempo = 20.0;
    static constexpr double kMaxTempo = 300.0;
    static constexpr double kDefaultTempo = 120.0;
    static constexpr int kDefaultLength = 7;
    static constexpr int kMaxPlayLevel = 127;

    // Beats of a length-table entry, 1/16 (index 0) to 16 (index 8); the index is clamped.
    static float LengthBeats(int index);

    // 2 channels, 44100 Hz, 16 bits, no buffer, and the header defaults; Initialize allocates.
    CTarnSampleData();
    ~CTarnSampleData() override = default;

    // 48000 Hz, a zeroed buffer of MaxSampleFrames frames and the header defaults.
    void Initialize() override;
    // A loop-recorder sample file: file header with at least one SMPL chunk, then the chunk.
    bool LoadFile(CHfcFile& file) override;
    // Converts to 48 kHz first (with progress; a cancelled conversion is offered again by
    // SaveChunk); false when the file header is written short.
    bool SaveFile(CHfcFile& file) override;
    int GetFileSize() const override;
    int GetBlockDataSize() const override;
    using CEfTarnData::GetBlockData;
    bool SetBlockData(const uint8_t* in, int size) override;
    bool IsBlockDataValid(const uint8_t* in, int size) const override;
    uint32_t GetBlockTag() const override { return kBlockTag; }

    // Copies audio (format and buffer) and every header and preview setting.
    virtual void CopyFrom(const CTarnSampleData* other);
    // As CopyFrom, but takes other's buffer instead of copying it; other is left without audio.
    void MoveFrom(CTarnSampleData* other);
    // As CopyFrom but without the audio and without the play length.
    virtual bool CopyHeaderFrom(const CTarnSampleData* other);
    // Reads one SMPL chunk straight into the bank's buffer; throws CTarnFileException 2 (short
    // read), 4 (not SMPL) or 12 (refused data). The bank is changed even when it throws:
    // callers load into a bank they can drop.
    virtual bool LoadChunk(CHfcFile& file);
    // Converts to 48 kHz first (with progress), then writes one SMPL chunk; throws
    // CTarnFileException 3 on a short write, 5 when the conversion ran out of memory and 3 when
    // it was cancelled (the bank cannot be stored at 44.1 kHz).
    virtual bool SaveChunk(CHfcFile& file);
    virtual int GetChunkSize() const;
    // A sample has no parameters: reads 0, writes nothing.
    virtual void SetParameter(ParamAddress address, int value);
    virtual int GetParameter(ParamAddress address) const;
    // The "SampleData" clipboard block; sourceIndex is the bank being copied.
    virtual bool GetBlockData(uint8_t* out, int size, int sourceIndex) const;

    double GetTempo() const { return tempo_; }
    // Ignored when bpm <= 0; clamped to 20..300.
    void SetTempo(double bpm);
    int GetPhraseLength() const { return phraseLength_; }
    // Ignored outside 0..8.
    void SetPhraseLength(int index);
    // False when beats is not a length-table entry.
    bool SetPhraseLengthBeats(float beats);
    float GetPhraseLengthBeats() const { return LengthBeats(phraseLength_); }
    int GetPlayLength() const { return playLength_; }
    void SetPlayLength(int index);
    bool SetPlayLengthBeats(float beats);
    float GetPlayLengthBeats() const { return LengthBeats(playLength_); }
    int GetPlayLevel() const { return playLevel_; }
    // Clamped to 0..127.
    void SetPlayLevel(int value);
    int GetLoopFlag() const { return loopFlag_; }
    // Ignored above 1; 0 also clears the reset trigger.
    void SetLoopFlag(int value);
    // Index 0..7; another index changes nothing and reads 1.
    int GetSliceFlag(int index) const;
    void SetSliceFlag(int index, int value);
    uint8_t GetResetTrigger() const { return resetTrigger_; }
    void SetResetTrigger(uint8_t value) { resetTrigger_ = value; }
    uint8_t GetGateTrigger() const { return gateTrigger_; }
    void SetGateTrigger(uint8_t value) { gateTrigger_ = value; }
    int GetStartFrame() const { return startFrame_; }
    // The frame after the play range.
    int GetEndFrame() const { return endFrame_; }
    int GetPlayFrames() const { return playFrames_; }
    int GetLoadedFrames() const { return loadedFrames_; }
    int GetLoadedBytes() const { return loadedBytes_; }
    // Ignored when n is negative or above MaxSampleFrames.
    void SetLoadedFrames(int n);

    // Keeps the longest phrase inside the buffer at slow tempos.
    void ClampPhraseLengthToTempo();
    // End frame := start + the phrase length's frames at the tempo, capped at the capacity.
    void RecalcPlayRange();
    // Frames of the phrase at the tempo (0 when nothing is loaded).
    int PhraseFrames() const;

    // The 16-byte native header.
    void GetNativeHeader(uint8_t* out) const;
    int GetNativeDataSize() const;
    int32_t GetNumSamples() const;
    // False when out is null or length is below GetNativeDataSize.
    bool GetNativeData(uint8_t* out, int length) const;
    // Frames first .. first + count - 1 of the native sample data (4 bytes each) into out.
    void GetNativeFrames(uint8_t* out, int first, int count) const;
    // Takes a native header and its sample data (length bytes, may be null when length is 0).
    bool SetNativeData(const uint8_t* header, const uint8_t* data, int length);

    // Converts a 44.1 kHz bank to 48 kHz; other rates are left alone (true). The filter's delay
    // is compensated (frame k becomes frame k * 160 / 147; round(frames * 160 / 147) frames come
    // out), and a looping bank (loop flag 1) is converted as a circular loop. False when the
    // conversion was cancelled or ran out of memory; the bank is then unchanged.
    bool ConvertTo48k(bool showProgress);
    // Scales the loaded audio so that its peak reaches full scale; false when there is nothing
    // to scale (no audio or silence).
    bool Normalize();

    // Handed to the progress window while converting; its Cancel sets the flag.
    CTarnProgressDialogListener& CancelListener() { return cancelListener_; }

private:
    void RestoreHeaderDefaults();
    // Steps shared by SetNativeData and LoadChunk. Begin takes the header's frame count as far as
    // length bytes of data hold it, restores the defaults and the device format and returns the
    // frames to take from the data; Finish takes the header's settings after the audio.
    int BeginNativeData(const uint8_t* header, int length);
    void FinishNativeData(const uint8_t* header);
    // Allocates the buffer for a load of frames frames: true when it came zero-filled; false
    // when its content is undefined or the allocation failed (no data).
    bool AllocateForFrames(int frames);
    // Zeroes the buffer from the given frame to its end.
    void ZeroFramesFrom(int frame);
    // Brings the bank to 48 kHz before it is stored; throws when it cannot.
    void ConvertForStorage();

    CTarnProgressDialogListener cancelListener_;
    std::array<int32_t, kSliceCount> sliceFlags_{};
    double tempo_ = kDefaultTempo;
    int32_t loopFlag_ = 1;
    int32_t phraseLength_ = kDefaultLength;
    int32_t playLength_ = kDefaultLength;
    int32_t playLevel_ = kMaxPlayLevel;
    int32_t startFrame_ = 0;
    int32_t endFrame_ = 0;
    int32_t playFrames_ = 0;
    int32_t loadedFrames_ = 0;
    int32_t loadedBytes_ = 0;
    uint8_t resetTrigger_ = 0;
    uint8_t gateTrigger_ = 0;
};
