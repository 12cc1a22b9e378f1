#include "audio/CTarnBankConverter.h"

#include <algorithm>
#include <new>

#include "audio/FsConverterKernels.h"

namespace {

// The design of the 44.1 -> 48 kHz filter: 15361 taps at 7.056 MHz, cut-off 22050 Hz, 120 dB.
constexpr int kFilterLength = 15361;
constexpr int kCutoff = 22050;
constexpr int kUp = 160;
constexpr int kDown = 147;
constexpr double kAttenuation = 120.0;
// Planes of the block buffers are this much longer than a block, off a 4 KB multiple.
constexpr int kPlanePadding = 16;

} // namespace

CTarnBankConverter::CTarnBankConverter(const CEfAudioData& source, int frames, bool loop)
    : source_(source), frames_(std::max(frames, 0)), loop_(loop),
      channels_(std::clamp(source.GetChannels(), 1, fsconv::kMaxChannels)),
      converter_(channels_, CFsConverter::kModeAuto) {
    converter_.SetAttenuation(kAttenuation);
    converter_.Design(kFilterLength, kSourceRate, kCutoff, kUp, kDown);
}

int CTarnBankConverter::OutputFrames(int frames) {
    if (frames <= 0) {
        return 0;
    }
    return static_cast<int>((int64_t{frames} * 2 * kUp + kDown) / (2 * kDown));
}

int CTarnBankConverter::BlockCount() const {
    return (frames_ + kBlockFrames - 1) / kBlockFrames;
}

bool CTarnBankConverter::Begin(CEfAudioData& target, int capacity) {
    target_ = &target;
    capacity_ = std::max(capacity, 0);
    nextFrame_ = 0;
    seen_ = 0;
    written_ = 0;
    converter_.Reset();
    planeFloats_ = kBlockFrames + kLeadFrames + kTailFrames + kPlanePadding;
    outputFloats_ = converter_.MaxOutputFrames(planeFloats_);
    try {
        inputs_.assign(static_cast<size_t>(channels_) * static_cast<size_t>(planeFloats_), 0.0f);
        outputs_.assign(static_cast<size_t>(channels_) * static_cast<size_t>(outputFloats_), 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int c = 0; c < channels_; ++c) {
        in_[static_cast<size_t>(c)] = inputs_.data() + static_cast<size_t>(c) * planeFloats_;
        out_[static_cast<size_t>(c)] = outputs_.data() + static_cast<size_t>(c) * outputFloats_;
    }
    target.SetChannels(source_.GetChannels(), false);
    target.SetBitsPerSample(source_.GetBitsPerSample(), false);
    target.SetSamplingRate(kTargetRate, false);
    target.SetFrameCount(capacity_, false);
    return capacity_ == 0 || target.Allocate();
}

int CTarnBankConverter::SourceFrame(int64_t i) const {
    const int64_t j = i - kLeadFrames;
    if (j >= 0 && j < frames_) {
        return static_cast<int>(j);
    }
    if (!loop_) {
        return -1;
    }
    return static_cast<int>((j % frames_ + frames_) % frames_);
}

void CTarnBankConverter::FillInput(int64_t streamStart, int count) {
    const bool fast = source_.GetBitsPerSample() == 16 && channels_ == 2 &&
                      source_.GetChannels() == 2 && source_.GetData();
    const auto scale = static_cast<float>(source_.GetMaxSampleValue());
    for (int at = 0; at < count;) {
        const int64_t i = streamStart + at;
        const int64_t j = i - kLeadFrames;
        // Frames up to the next change of region (lead, audio, tail) or wrap of the source.
        int64_t run = count - at;
        if (j < 0) {
            run = std::min(run, -j);
        } else if (j < frames_) {
            run = std::min<int64_t>(run, frames_ - j);
        }
        const int frame = SourceFrame(i);
        if (frame >= 0) {
            run = std::min<int64_t>(run, frames_ - frame);
        }
        const int n = static_cast<int>(run);
        for (int c = 0; c < channels_; ++c) {
            float* plane = inputs_.data() + static_cast<size_t>(c) * planeFloats_ + at;
            if (frame < 0) {
                std::fill(plane, plane + n, 0.0f);
            } else if (!fast) {
                for (int k = 0; k < n; ++k) {
                    plane[k] = static_cast<float>(source_.GetSample(frame + k, c)) / scale;
                }
            }
        }
        if (frame >= 0 && fast) {
            fsconv::Pcm16StereoToFloat(source_.GetData() + static_cast<size_t>(frame) * 4, n, scale,
                                       inputs_.data() + at, inputs_.data() + planeFloats_ + at);
        }
        at += n;
    }
}

void CTarnBankConverter::WriteOutput(int made) {
    const int wanted = std::min(OutputFrames(), capacity_);
    // Converter output seen_ + k is bank frame seen_ + k - kLeadOutputs.
    const int64_t skip = std::max<int64_t>(kLeadOutputs + written_ - seen_, 0);
    const int64_t count = std::min<int64_t>(made - skip, wanted - written_);
    seen_ += made;
    if (count <= 0) {
        return;
    }
    const int maximum = source_.GetMaxSampleValue();
    const auto scale = static_cast<float>(maximum);
    const auto n = static_cast<int>(count);
    if (target_->GetBitsPerSample() == 16 && channels_ == 2 && target_->GetChannels() == 2) {
        fsconv::FloatToPcm16Stereo(outputs_.data() + skip, outputs_.data() + outputFloats_ + skip,
                                   n, scale, maximum,
                                   target_->GetData() + static_cast<size_t>(written_) * 4);
    } else {
        for (int c = 0; c < channels_; ++c) {
            const float* plane = outputs_.data() + static_cast<size_t>(c) * outputFloats_ + skip;
            for (int k = 0; k < n; ++k) {
                target_->SetSample(written_ + k, c, fsconv::ClipToPcm(scale * plane[k], maximum));
            }
        }
    }
    written_ += n;
}

bool CTarnBankConverter::Step() {
    if (!target_ || IsDone()) {
        return false;
    }
    const int end = std::min(frames_, nextFrame_ + kBlockFrames);
    // The first block also feeds the lead, the last one the tail.
    const int64_t streamStart = nextFrame_ == 0 ? 0 : int64_t{kLeadFrames} + nextFrame_;
    const int64_t streamEnd = int64_t{kLeadFrames} + end + (end == frames_ ? kTailFrames : 0);
    const auto count = static_cast<int>(streamEnd - streamStart);
    FillInput(streamStart, count);
    WriteOutput(converter_.Process(in_.data(), out_.data(), count));
    nextFrame_ = end;
    return true;
}
