#include "audio/CEfAudioData.h"

#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

CEfAudioData::CEfAudioData(const CEfAudioData& other) {
    Assign(other);
}

CEfAudioData& CEfAudioData::operator=(const CEfAudioData& other) {
    Assign(other);
    return *this;
}

CEfAudioData::CEfAudioData(CEfAudioData&& other) noexcept {
    TakeFrom(other);
}

CEfAudioData& CEfAudioData::operator=(CEfAudioData&& other) noexcept {
    if (&other != this) {
        TakeFrom(other);
    }
    return *this;
}

void CEfAudioData::TakeFrom(CEfAudioData& other) noexcept {
    channels_ = other.channels_;
    samplingRate_ = other.samplingRate_;
    bitsPerSample_ = other.bitsPerSample_;
    bytesPerFrame_ = other.bytesPerFrame_;
    frameCount_ = other.frameCount_;
    hasData_ = other.hasData_;
    data_ = std::move(other.data_);
    size_ = other.size_;
    other.size_ = 0;
    other.hasData_ = false;
    other.channels_ = 2;
    other.samplingRate_ = 44100;
    other.bitsPerSample_ = 16;
    other.bytesPerFrame_ = 4;
    other.frameCount_ = 0;
}

void CEfAudioData::Initialize() {
    Free();
    channels_ = 2;
    samplingRate_ = 44100;
    bitsPerSample_ = 16;
    bytesPerFrame_ = 4;
    frameCount_ = 0;
}

bool CEfAudioData::Assign(const CEfAudioData& other) {
    if (&other == this) {
        return true;
    }
    CEfAudioData::Initialize();
    channels_ = other.channels_;
    samplingRate_ = other.samplingRate_;
    bitsPerSample_ = other.bitsPerSample_;
    bytesPerFrame_ = other.bytesPerFrame_;
    frameCount_ = other.frameCount_;
    if (!other.hasData_) {
        return true;
    }
    std::unique_ptr<uint8_t[], FreeBlock> copy(
        static_cast<uint8_t*>(std::malloc(other.size_ == 0 ? 1 : other.size_)));
    if (!copy) {
        EfTrace("Failed to allocate audio data memory.");
        return false;
    }
    if (other.size_ > 0) {
        std::memcpy(copy.get(), other.data_.get(), other.size_);
    }
    data_ = std::move(copy);
    size_ = other.size_;
    hasData_ = true;
    return true;
}

bool CEfAudioData::SetChannels(int channels, bool reallocate) {
    if (channels != 1 && channels != 2) {
        return false;
    }
    channels_ = channels;
    return Recompute(reallocate);
}

bool CEfAudioData::SetSamplingRate(int rate, bool reallocate) {
    samplingRate_ = rate;
    return Recompute(reallocate);
}

bool CEfAudioData::SetBitsPerSample(int bits, bool reallocate) {
    if (bits <= 0 || bits % 8 != 0) {
        return false;
    }
    bitsPerSample_ = bits;
    return Recompute(reallocate);
}

bool CEfAudioData::SetFrameCount(int frames, bool reallocate) {
    frameCount_ = frames;
    return Recompute(reallocate);
}

bool CEfAudioData::Resize(int frames) {
    frameCount_ = frames;
    return Reallocate();
}

int CEfAudioData::GetMaxSampleValue() const {
    if (bitsPerSample_ <= 0 || bitsPerSample_ > 32) {
        return 0;
    }
    return static_cast<int>((1LL << (bitsPerSample_ - 1)) - 1);
}

long long CEfAudioData::RequiredSize() const {
    const long long size = static_cast<long long>(frameCount_ < 0 ? 0 : frameCount_) *
                           static_cast<long long>(bytesPerFrame_);
    return size > INT_MAX ? -1 : size;
}

bool CEfAudioData::Allocate() {
    return AllocateBlock(true);
}

bool CEfAudioData::AllocateUninitialized() {
    return AllocateBlock(false);
}

bool CEfAudioData::AllocateBlock(bool zeroed) {
    Free();
    const long long size = RequiredSize();
    if (size < 0) {
        EfTrace("Failed to allocate audio data memory.");
        return false;
    }
    // An empty block still counts as data; one byte keeps the pointer unique and non-null.
    const size_t bytes = size == 0 ? 1 : static_cast<size_t>(size);
    data_.reset(static_cast<uint8_t*>(zeroed ? std::calloc(bytes, 1) : std::malloc(bytes)));
    if (!data_) {
        EfTrace("Failed to allocate audio data memory.");
        return false;
    }
    size_ = static_cast<size_t>(size);
    hasData_ = true;
    return true;
}

bool CEfAudioData::Free() {
    data_.reset();
    size_ = 0;
    hasData_ = false;
    return true;
}

bool CEfAudioData::Reallocate() {
    if (frameCount_ <= 0) {
        frameCount_ = 0;
        return Free();
    }
    const long long size = RequiredSize();
    if (size < 0) {
        EfTrace("Failed to reallocate audio data memory.");
        Free();
        return false;
    }
    const size_t bytes = static_cast<size_t>(size);
    if (!data_) {
        return Allocate();
    }
    auto* grown = static_cast<uint8_t*>(std::realloc(data_.get(), bytes));
    if (!grown) {
        EfTrace("Failed to reallocate audio data memory.");
        Free();
        return false;
    }
    (void)data_.release();
    data_.reset(grown);
    if (bytes > size_) {
        std::memset(grown + size_, 0, bytes - size_);
    }
    size_ = bytes;
    hasData_ = true;
    return true;
}

bool CEfAudioData::IsValidPosition(int frame, int channel, const char* failure) const {
    if (!hasData_) {
        EfTrace("Memory is not allocated.");
        return false;
    }
    if (frame < 0 || frame >= frameCount_ || channel < 0 || channel >= channels_) {
        EfTrace(failure, frame, channel);
        return false;
    }
    // The block must hold the addressed sample whatever the bookkeeping says.
    const long long end = static_cast<long long>(frame) * bytesPerFrame_ +
                          static_cast<long long>(channel + 1) * (bitsPerSample_ / 8);
    if (end > static_cast<long long>(size_)) {
        EfTrace(failure, frame, channel);
        return false;
    }
    return true;
}

int32_t CEfAudioData::GetSample(int frame, int channel) const {
    if (!IsValidPosition(frame, channel,
                         "Failed to get audio data ( Position: %d, Channel: %d )")) {
        return 0;
    }
    const uint8_t* p = data_.get() + static_cast<size_t>(frame) * bytesPerFrame_ +
                       static_cast<size_t>(channel) * (bitsPerSample_ / 8);
    switch (bitsPerSample_) {
    case 8:
        return static_cast<int32_t>(p[0]) - 128;
    case 16:
        return static_cast<int16_t>(ef::ReadLE16(p));
    case 24: {
        const uint32_t raw = ef::ReadLE24(p);
        return static_cast<int32_t>(raw << 8) >> 8;
    }
    case 32:
        return static_cast<int32_t>(ef::ReadLE32(p));
    default:
        return 0;
    }
}

void CEfAudioData::SetSample(int frame, int channel, int32_t value) {
    if (!IsValidPosition(frame, channel,
                         "Failed to set audio data ( Position: %d, Channel: %d )")) {
        return;
    }
    uint8_t* p = data_.get() + static_cast<size_t>(frame) * bytesPerFrame_ +
                 static_cast<size_t>(channel) * (bitsPerSample_ / 8);
    const uint32_t raw = static_cast<uint32_t>(value);
    switch (bitsPerSample_) {
    case 8:
        p[0] = static_cast<uint8_t>(raw - 128u);
        break;
    case 16:
        ef::WriteLE16(p, static_cast<uint16_t>(raw));
        break;
    case 24:
        ef::WriteLE24(p, raw);
        break;
    case 32:
        ef::WriteLE32(p, raw);
        break;
    default:
        break;
    }
}

bool CEfAudioData::Recompute(bool reallocate) {
    bytesPerFrame_ = bitsPerSample_ / 8 * channels_;
    Free();
    return reallocate ? Allocate() : true;
}
