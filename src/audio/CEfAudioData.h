#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// An interleaved PCM buffer: frame f, channel c lives at byte f * bytes per frame + c * bits / 8.
// Samples are little-endian; 8-bit samples are unsigned with an offset of 128, 16/24/32-bit
// samples are signed. Every format setter discards the audio, so callers set the format first
// and allocate last (SetChannels/SetBitsPerSample/SetSamplingRate/SetFrameCount with
// reallocate false, then Reallocate).
class CEfAudioData {
public:
    CEfAudioData() = default;
    virtual ~CEfAudioData() = default;
    // Copies the format and the data; a copy that runs out of memory holds no data.
    CEfAudioData(const CEfAudioData& other);
    CEfAudioData& operator=(const CEfAudioData& other);
    // Moves the format and the data; the source is left at the defaults without data.
    CEfAudioData(CEfAudioData&& other) noexcept;
    CEfAudioData& operator=(CEfAudioData&& other) noexcept;

    // Frees the data and restores 2 channels, 44100 Hz, 16 bits, 0 frames.
    virtual void Initialize();
    // Takes the other buffer's format, frame count and (when it has any) data.
    virtual bool Assign(const CEfAudioData& other);

    virtual int GetChannels() const { return channels_; }
    // Only 1 and 2 are accepted.
    virtual bool SetChannels(int channels, bool reallocate);
    virtual int GetSamplingRate() const { return samplingRate_; }
    virtual bool SetSamplingRate(int rate, bool reallocate);
    virtual int GetBitsPerSample() const { return bitsPerSample_; }
    // Only positive multiples of 8 are accepted; 8, 16, 24 and 32 are coded.
    virtual bool SetBitsPerSample(int bits, bool reallocate);
    virtual int GetBytesPerFrame() const { return bytesPerFrame_; }
    virtual int GetFrameCount() const { return frameCount_; }
    virtual bool SetFrameCount(int frames, bool reallocate);
    // Sets the frame count and reallocates, keeping the leading audio.
    virtual bool Resize(int frames);
    // 2^(bits - 1) - 1, the full-scale value that conversions and the normaliser scale by.
    virtual int GetMaxSampleValue() const;

    // A fresh block of frame count * bytes per frame bytes (zero-filled).
    virtual bool Allocate();
    // A fresh block of the same size whose bytes are undefined, for callers that write every
    // byte themselves (loads): nothing is filled twice.
    bool AllocateUninitialized();
    virtual bool Free();
    virtual bool HasData() const { return hasData_; }
    // Grows or shrinks the block to the frame count, keeping its leading bytes; new bytes are
    // zero. A frame count <= 0 frees the data. On failure the data is dropped and false returned.
    virtual bool Reallocate();
    virtual int GetDataSize() const { return hasData_ ? static_cast<int>(size_) : 0; }
    virtual uint8_t* GetData() { return hasData_ ? data_.get() : nullptr; }
    virtual const uint8_t* GetData() const { return hasData_ ? data_.get() : nullptr; }

    // Out-of-range positions, a missing block or an uncoded width read 0 and write nothing.
    // Writes store the low bytes of the value (no clipping).
    virtual int32_t GetSample(int frame, int channel) const;
    virtual void SetSample(int frame, int channel, int32_t value);

    // Recomputes the bytes per frame and frees the data; allocates again when asked.
    virtual bool Recompute(bool reallocate);

private:
    void TakeFrom(CEfAudioData& other) noexcept;
    // Byte size of frame count frames, or -1 when it does not fit a signed 32-bit size.
    long long RequiredSize() const;
    bool IsValidPosition(int frame, int channel, const char* failure) const;
    // Replaces the block by a fresh one of the required size, zero-filled when asked.
    bool AllocateBlock(bool zeroed);

    struct FreeBlock {
        void operator()(uint8_t* block) const { std::free(block); }
    };

    int32_t channels_ = 2;
    int32_t samplingRate_ = 44100;
    int32_t bitsPerSample_ = 16;
    int32_t bytesPerFrame_ = 4;
    int32_t frameCount_ = 0;
    bool hasData_ = false;
    // Allocated with malloc/calloc: a zero-filled block of fresh pages costs nothing until it is
    // used, and a block for a load is never filled before the load writes it.
    std::unique_ptr<uint8_t[], FreeBlock> data_;
    size_t size_ = 0;
};
