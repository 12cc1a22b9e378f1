#include "audio/CTarnAudioEngine.h"

#include <algorithm>
#include <cstring>

#include "audio/CTarnAudioEngineListener.h"
#include "data/CTarnSampleData.h"
#include "framework/EfByteOrder.h"
#include "framework/EfTrace.h"

// Holds the "AudioEngine" semaphore for a scope.
class CTarnAudioEngine::Lock {
public:
    explicit Lock(CEfSemaphore& semaphore) : semaphore_(semaphore) { semaphore_.Wait(); }
    ~Lock() { semaphore_.Release(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CEfSemaphore& semaphore_;
};

namespace {

// The rates a bank can be held at; the device is reopened only for these.
bool IsBankRate(int rate) {
    return rate == 44100 || rate == 48000;
}

} // namespace

CTarnAudioEngine::CTarnAudioEngine(std::unique_ptr<CHfcAudioOutput> output)
    : CEfAudioEngine(std::move(output)), sample_(std::make_unique<CTarnSampleData>()) {
    SetName("CTarnAudioEngine");
}

CTarnAudioEngine::~CTarnAudioEngine() {
    Teardown();
}

void CTarnAudioEngine::LoadSample(const CTarnSampleData& sample) {
    // A bank's audio is megabytes: the copy is made, and the old one freed, outside the lock the
    // rendering thread waits for; under the lock only the pointers change hands.
    auto copy = std::make_unique<CTarnSampleData>();
    copy->CopyFrom(&sample);
    const int rate = sample.GetSamplingRate();
    HfcAudioFormat format = GetFormat();
    if (rate != format.samplingRate) {
        EfTrace("Sampling Rate changed...");
        // An empty copy plays silence while the stream is reopened.
        auto empty = std::make_unique<CTarnSampleData>();
        {
            Lock lock(lock_);
            sample_.swap(empty);
            position_ = 0;
        }
        // The stream is reopened without the lock held: the rendering thread takes the lock
        // inside Render while it owns the stream.
        if (IsBankRate(rate)) {
            const bool wasStreaming = IsStreaming();
            if (wasStreaming) {
                Stop();
            }
            format.samplingRate = rate;
            SetFormat(format);
            if (wasStreaming) {
                Start();
            }
        } else {
            EfTrace("CTarnAudioEngine::LoadSample - %d Hz is played at %d Hz", rate,
                    format.samplingRate);
        }
    }
    Lock lock(lock_);
    sample_.swap(copy);
    position_ = 0;
    endReported_ = false;
}

void CTarnAudioEngine::UpdateHeader(const CTarnSampleData& sample) {
    Lock lock(lock_);
    sample_->CopyHeaderFrom(&sample);
}

bool CTarnAudioEngine::Play() {
    {
        Lock lock(lock_);
        playing_ = true;
    }
    // The flag is set first: a failure handled meanwhile then ends this preview and reports it,
    // rather than leaving it on over a closed device.
    if (!IsOutputLost() || Start()) {
        return true;
    }
    {
        Lock lock(lock_);
        playing_ = false;
    }
    NotifyFinished();
    return false;
}

void CTarnAudioEngine::OnAudioOutputLost() {
    bool ended = false;
    {
        Lock lock(lock_);
        // A one-shot preview whose end was already reported is not reported twice.
        ended = playing_ && !endReported_;
        playing_ = false;
        position_ = 0;
        endReported_ = false;
    }
    if (ended) {
        NotifyFinished();
    }
}

void CTarnAudioEngine::NotifyFinished() {
    std::lock_guard<std::recursive_mutex> lock(listenersMutex_);
    for (size_t i = 0; i < listeners_.size(); ++i) {
        listeners_[i]->OnTarnAudioPreviewFinished();
    }
}

void CTarnAudioEngine::StopPlaying() {
    Lock lock(lock_);
    playing_ = false;
}

bool CTarnAudioEngine::IsPlaying() {
    Lock lock(lock_);
    return playing_;
}

int32_t CTarnAudioEngine::ReadPeak(int channel) {
    if (channel < 0 || channel > 1) {
        return 0;
    }
    Lock lock(lock_);
    const int32_t peak = peak_[static_cast<size_t>(channel)];
    peak_[static_cast<size_t>(channel)] = 0;
    return peak;
}

// What one Render needs to know about the copy and the engine's format, taken once per buffer.
struct CTarnAudioEngine::RenderContext {
    uint8_t* destination;
    HfcAudioFormat format;
    const uint8_t* source;
    int32_t sourceFrames;
    int sourceChannels;
    // Bits to shift a source sample left (negative: right) to reach the engine's width.
    int shift;
    // Both sides 16-bit stereo: frames are copied without per-sample calls.
    bool direct;
    std::array<int32_t, 2> peak;
};

CTarnAudioEngine::RenderContext CTarnAudioEngine::MakeRenderContext(uint8_t* destination) {
    RenderContext context{};
    context.destination = destination;
    context.format = GetFormat();
    context.source = sample_->GetData();
    context.sourceFrames = context.source != nullptr ? sample_->GetFrameCount() : 0;
    context.sourceChannels = sample_->GetChannels();
    context.shift = context.format.bitsPerSample - sample_->GetBitsPerSample();
    context.direct = context.format.bitsPerSample == 16 && context.format.channels == 2 &&
                     context.format.bytesPerFrame == 4 && sample_->GetBitsPerSample() == 16 &&
                     context.sourceChannels == 2 && sample_->GetBytesPerFrame() == 4;
    return context;
}

void CTarnAudioEngine::WriteFrames(RenderContext& context, int32_t f, int32_t frame,
                                   int32_t count) {
    // Frames outside the copy's audio are silent.
    const int32_t available = frame < 0 ? 0 : std::clamp(context.sourceFrames - frame, 0, count);
    if (context.direct && available > 0) {
        // Same coding on both sides: the bytes are copied as they are, the peaks read from them.
        const uint8_t* in = context.source + static_cast<size_t>(frame) * 4;
        std::memcpy(context.destination + static_cast<size_t>(f) * 4, in,
                    static_cast<size_t>(available) * 4);
        int32_t peakLeft = context.peak[0];
        int32_t peakRight = context.peak[1];
        for (int32_t i = 0; i < available; ++i, in += 4) {
            peakLeft = std::max<int32_t>(peakLeft, static_cast<int16_t>(ef::ReadLE16(in)));
            peakRight = std::max<int32_t>(peakRight, static_cast<int16_t>(ef::ReadLE16(in + 2)));
        }
        context.peak[0] = peakLeft;
        context.peak[1] = peakRight;
    } else {
        for (int32_t i = 0; i < available; ++i) {
            for (int32_t channel = 0; channel < context.format.channels; ++channel) {
                // A mono copy sounds on both sides.
                int32_t value = context.sourceChannels > 0
                                    ? sample_->GetSample(
                                          frame + i, std::min(channel, context.sourceChannels - 1))
                                    : 0;
                if (channel < 2) {
                    context.peak[static_cast<size_t>(channel)] =
                        std::max(context.peak[static_cast<size_t>(channel)], value);
                }
                value = context.shift >= 0 ? value * (1 << context.shift) : value >> -context.shift;
                WriteSample(context.destination, f + i, channel, value);
            }
        }
    }
    WriteSilence(context, f + available, count - available);
}

void CTarnAudioEngine::WriteSilence(RenderContext& context, int32_t f, int32_t count) {
    if (count <= 0) {
        return;
    }
    if (context.direct) {
        std::fill_n(context.destination + static_cast<size_t>(f) * 4,
                    static_cast<size_t>(count) * 4, uint8_t{0});
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        for (int32_t channel = 0; channel < context.format.channels; ++channel) {
            WriteSample(context.destination, f + i, channel, 0);
        }
    }
}

bool CTarnAudioEngine::Render(int32_t frames, uint8_t* destination) {
    if (destination == nullptr || frames < 0) {
        return false;
    }
    bool finished = false;
    bool looped = false;
    {
        Lock lock(lock_);
        std::array<bool, kSliceCount> sliceOn{};
        bool allOff = true;
        for (int k = 0; k < kSliceCount; ++k) {
            sliceOn[static_cast<size_t>(k)] = sample_->GetSliceFlag(k) != 0;
            allOff = allOff && !sliceOn[static_cast<size_t>(k)];
        }
        const int32_t start = sample_->GetStartFrame();
        const int32_t end = sample_->GetEndFrame();
        const int32_t playFrames = sample_->GetPlayFrames();
        RenderContext context = MakeRenderContext(destination);
        if (!playing_ || allOff || playFrames <= 0 || end <= start) {
            WriteSilence(context, 0, frames);
            position_ = 0;
            endReported_ = false;
            return true;
        }
        const bool loop = sample_->GetLoopFlag() == 1;
        // Shorter than eight frames, the range has no slices to skip.
        const int32_t sliceLength = playFrames / kSliceCount;
        // Frame by frame as the device hears it, but copied in runs: a run ends at the end of
        // the play range, at the end of a slice (where skipping may jump) or with the buffer.
        for (int32_t f = 0; f < frames;) {
            int32_t run = 1;
            if (position_ >= start && position_ < end) {
                run = end - position_;
                if (loop && sliceLength > 0) {
                    // The few frames past the eighth slice belong to the last one.
                    int32_t k = std::min((position_ - start) / sliceLength, kSliceCount - 1);
                    if (!sliceOn[static_cast<size_t>(k)]) {
                        // Lands on the next slice's first frame, which plays even when that slice
                        // is off too: a run of off slices is crossed one frame per slice.
                        k = (k + 1) % kSliceCount;
                        position_ = start + k * sliceLength;
                    }
                    run = !sliceOn[static_cast<size_t>(k)] ? 1
                          : k == kSliceCount - 1           ? end - position_
                                                 : start + (k + 1) * sliceLength - position_;
                }
            }
            run = std::min(run, frames - f);
            if (position_ < end) {
                if (position_ < start) {
                    position_ = start;
                    WriteSilence(context, f, 1);
                } else {
                    WriteFrames(context, f, position_, run);
                    position_ += run;
                    endReported_ = false;
                }
            } else if (loop) {
                position_ = start;
                WriteFrames(context, f, position_, 1);
                ++position_;
                looped = true;
                EfTrace("Play wave file finished: %d (%d,%d)", f, start, end);
            } else {
                // A one-shot preview stays at its end: the rest of the buffer is silent.
                run = frames - f;
                WriteSilence(context, f, run);
                if (!endReported_) {
                    finished = true;
                    endReported_ = true;
                }
            }
            f += run;
        }
        peak_[0] = std::max(peak_[0], context.peak[0]);
        peak_[1] = std::max(peak_[1], context.peak[1]);
    }
    if (finished || looped) {
        std::lock_guard<std::recursive_mutex> lock(listenersMutex_);
        for (size_t i = 0; i < listeners_.size(); ++i) {
            if (finished) {
                listeners_[i]->OnTarnAudioPreviewFinished();
            } else {
                listeners_[i]->OnTarnAudioPreviewLooped();
            }
        }
    }
    return true;
}

void CTarnAudioEngine::AddListener(CTarnAudioEngineListener* listener) {
    std::lock_guard<std::recursive_mutex> lock(listenersMutex_);
    if (listener != nullptr &&
        std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void CTarnAudioEngine::RemoveListener(CTarnAudioEngineListener* listener) {
    std::lock_guard<std::recursive_mutex> lock(listenersMutex_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}
