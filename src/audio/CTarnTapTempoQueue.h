#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "audio/CEfMillisecondClock.h"
#include "data/CEfObject.h"

// Turns taps of the tempo button into a tempo. Taps 151 to 3499 ms apart form a series; a tap
// outside that window starts a new one. The tempo is the mean interval of the series, ignoring
// intervals far from the mean.
class CTarnTapTempoQueue : public CEfObject {
public:
    static constexpr int kMaxTaps = 16;
    static constexpr int kInitialCapacity = 5;
    static constexpr std::chrono::milliseconds kMinInterval{151};
    static constexpr std::chrono::milliseconds kMaxInterval{3499};
    static constexpr float kDefaultTempo = 120.0f;
    static constexpr float kMinTempo = 20.0f;
    static constexpr float kMaxTempo = 300.0f;

    // The clock stays owned by the caller and must outlive the queue.
    explicit CTarnTapTempoQueue(const CEfMillisecondClock& clock = CEfMillisecondClock::System());

    // Records one tap; true when it continues a series (the tempo is then worth reading).
    bool Tap();
    // Beats per minute of the series, 120 before there is one, within 20..300.
    float Tempo() const;
    // Capacity from the phrase length in beats: half of it, within 3..16. Empties the queue.
    void SetCapacity(int beats);
    int GetCapacity() const { return capacity_; }
    int GetCount() const { return count_; }
    void Clear();

private:
    void StartSeries(std::chrono::milliseconds now);
    void Push(std::chrono::milliseconds now);

    const CEfMillisecondClock& clock_;
    int32_t count_ = 0;
    int32_t capacity_ = kInitialCapacity;
    // Newest first.
    std::array<std::chrono::milliseconds, kMaxTaps> taps_{};
};
