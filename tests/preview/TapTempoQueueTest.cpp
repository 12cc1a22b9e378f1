#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>

#include "audio/CTarnTapTempoQueue.h"

namespace {

using std::chrono::milliseconds;

class ManualClock : public CEfMillisecondClock {
public:
    milliseconds Now() const override { return now_; }
    void Advance(milliseconds step) { now_ += step; }

private:
    milliseconds now_{1000000};
};

class TapTempo : public ::testing::Test {
protected:
    // Taps once, then once after each gap; returns the result of the last tap.
    bool TapWithGaps(std::initializer_list<int> gaps) {
        bool accepted = queue.Tap();
        for (int gap : gaps) {
            clock.Advance(milliseconds(gap));
            accepted = queue.Tap();
        }
        return accepted;
    }

    ManualClock clock;
    CTarnTapTempoQueue queue{clock};
};

TEST_F(TapTempo, EvenTapsGiveTheirTempoAndTheFirstTapNeverCounts) {
    EXPECT_FALSE(queue.Tap());
    EXPECT_FLOAT_EQ(queue.Tempo(), 120.0f);
    clock.Advance(milliseconds(500));
    EXPECT_TRUE(queue.Tap());
    EXPECT_FLOAT_EQ(queue.Tempo(), 120.0f);
    EXPECT_TRUE(TapWithGaps({500, 500, 500, 500, 500}));
    // Capacity 5 keeps four taps.
    EXPECT_EQ(queue.GetCount(), 4);
    EXPECT_FLOAT_EQ(queue.Tempo(), 120.0f);

    queue.Clear();
    EXPECT_FALSE(TapWithGaps({}));
    EXPECT_TRUE(TapWithGaps({400, 400}));
    EXPECT_FLOAT_EQ(queue.Tempo(), 150.0f);
}

TEST_F(TapTempo, IntervalsOutsideTheWindowRestartTheSeries) {
    // 100 ms taps never form a series.
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(queue.Tap());
        EXPECT_EQ(queue.GetCount(), 1);
        clock.Advance(milliseconds(100));
    }
    // The window's edges: 150 is too short, 151 and 3499 count, 3500 is too long.
    queue.Clear();
    EXPECT_FALSE(TapWithGaps({150}));
    EXPECT_TRUE(TapWithGaps({151}));
    queue.Clear();
    EXPECT_TRUE(TapWithGaps({3499}));
    queue.Clear();
    EXPECT_FALSE(TapWithGaps({3500}));

    // A first interval of 2000 ms is a series (30 BPM); the third tap is measured against the
    // first (4000 ms) and starts again.
    queue.Clear();
    EXPECT_TRUE(TapWithGaps({2000}));
    EXPECT_FLOAT_EQ(queue.Tempo(), 30.0f);
    clock.Advance(milliseconds(2000));
    EXPECT_FALSE(queue.Tap());
    EXPECT_EQ(queue.GetCount(), 1);
    EXPECT_FLOAT_EQ(queue.Tempo(), 120.0f);
}

TEST_F(TapTempo, StrayIntervalsAreFilteredOnlyWhenOthersQualify) {
    // Mean 666.7, lo 500, hi 933: nothing lies strictly between, the plain mean stays.
    EXPECT_TRUE(TapWithGaps({500, 500, 1000}));
    EXPECT_EQ(queue.GetCount(), 4);
    EXPECT_NEAR(queue.Tempo(), 90.0f, 0.01f);

    // Mean 673.3, lo 505, hi 942: only 520 qualifies.
    queue.Clear();
    EXPECT_TRUE(TapWithGaps({500, 520, 1000}));
    EXPECT_NEAR(queue.Tempo(), 60000.0f / 520.0f, 0.01f);
}

TEST_F(TapTempo, CapacityFollowsThePhraseLengthAndResultsAreClamped) {
    queue.SetCapacity(16);
    EXPECT_EQ(queue.GetCapacity(), 8);
    queue.SetCapacity(8);
    EXPECT_EQ(queue.GetCapacity(), 4);
    queue.SetCapacity(4);
    EXPECT_EQ(queue.GetCapacity(), 3);
    queue.SetCapacity(100);
    EXPECT_EQ(queue.GetCapacity(), 16);

    queue.SetCapacity(4);
    EXPECT_TRUE(TapWithGaps({200, 200, 200, 200}));
    EXPECT_EQ(queue.GetCount(), 2);
    EXPECT_FLOAT_EQ(queue.Tempo(), 300.0f);
    queue.SetCapacity(4);
    EXPECT_EQ(queue.GetCount(), 0);
    // 151 ms taps are 397 BPM: clamped.
    EXPECT_TRUE(TapWithGaps({151, 151}));
    EXPECT_FLOAT_EQ(queue.Tempo(), 300.0f);
    // 3400 ms taps are 17.6 BPM.
    queue.Clear();
    EXPECT_TRUE(TapWithGaps({3400}));
    EXPECT_FLOAT_EQ(queue.Tempo(), 20.0f);
}

} // namespace
