#include "audio/CEfAudioData.h"

#include <climits>
#include <cstddef>
#include <new>
#include <utility>

#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

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
    other.data_.clear();
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
    try {
        data_ = other.data_;
    } catch (const std::bad_alloc&) {
        EfTrace("Failed to allocate audio data memory.");
        return false;
    }
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
    Free();
    const long long size = RequiredSize();
    if (size < 0) {
        EfTrace("Failed to allocate audio data memory.");
        return false;
    }
    try {
        data_.assign(static_cast<size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        EfTrace("Failed to allocate audio data memory.");
        return false;
    }
    hasData_ = true;
    return true;
}

bool CEfAudioData::Free() {
    std::vector<uint8_t>().swap(data_);
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
    try {
        data_.resize(static_cast<size_t>(size));
        data_.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        EfTrace("Failed to reallocate audio data memory.");
        Free();
        return false;
    }
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
    if (end > static_cast<long long>(data_.size())) {
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
    const uint8_t* p = data_.data() + static_cast<size_t>(frame) * bytesPerFrame_ +
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
    uint8_t* p = data_.data() + static_cast<size_t>(frame) * bytesPerFrame_ +
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
