#include "audio/CTarnTapTempoQueue.h"

#include <algorithm>

CTarnTapTempoQueue::CTarnTapTempoQueue(const CEfMillisecondClock& clock) : clock_(clock) {
    SetName("CTarnTapTempoQueue");
}

bool CTarnTapTempoQueue::Tap() {
    const std::chrono::milliseconds now = clock_.Now();
    if (count_ == 0) {
        StartSeries(now);
        return false;
    }
    // From the third tap on, the tap is measured against the one before the latest, so a single
    // stray interval cannot carry a series.
    const std::chrono::milliseconds previous = count_ == 1 ? taps_[0] : taps_[1];
    const std::chrono::milliseconds interval = now - previous;
    if (interval < kMinInterval || interval > kMaxInterval) {
        StartSeries(now);
        return false;
    }
    Push(now);
    count_ = std::min(count_ + 1, capacity_ - 1);
    return true;
}

float CTarnTapTempoQueue::Tempo() const {
    if (count_ < 2) {
        return kDefaultTempo;
    }
    const int intervals = count_ - 1;
    float sum = 0.0f;
    for (int k = 0; k < intervals; ++k) {
        sum += static_cast<float>((taps_[k] - taps_[k + 1]).count());
    }
    float mean = sum / static_cast<float>(intervals);
    // Intervals strictly inside (0.75, 1.4) times the mean count; the others are missed or
    // doubled taps.
    const auto hi = static_cast<int64_t>(mean * 1.4f);
    const auto lo = static_cast<int64_t>(mean * 0.75f);
    float kept = 0.0f;
    int keptCount = 0;
    for (int k = 0; k < intervals; ++k) {
        const int64_t d = (taps_[k] - taps_[k + 1]).count();
        if (lo < d && d < hi) {
            kept += static_cast<float>(d);
            ++keptCount;
        }
    }
    if (keptCount > 0) {
        mean = kept / static_cast<float>(keptCount);
    }
    if (mean <= 0.0f) {
        return kMaxTempo;
    }
    const float bpm = 60000.0f / mean;
    return std::clamp(bpm, kMinTempo, kMaxTempo);
}

void CTarnTapTempoQueue::SetCapacity(int beats) {
    capacity_ = std::clamp(beats / 2, 3, kMaxTaps);
    Clear();
}

void CTarnTapTempoQueue::Clear() {
    taps_.fill(std::chrono::milliseconds{0});
    count_ = 0;
}

void CTarnTapTempoQueue::StartSeries(std::chrono::milliseconds now) {
    Clear();
    Push(now);
    count_ = std::min(1, capacity_ - 1);
}

void CTarnTapTempoQueue::Push(std::chrono::milliseconds now) {
    std::move_backward(taps_.begin(), taps_.end() - 1, taps_.end());
    taps_[0] = now;
}
