#pragma once

// The auto-repeat of the tempo step buttons, counted in layer ticks of t milliseconds: the step
// repeats once the button has been held for more than 800 / t ticks (about 800 ms), then each
// time a second count exceeds 250 / t ticks (about every 250 ms). With 30 ms ticks the first
// repeat comes on the 35th tick of holding, then one on every 9th tick.
class CTarnTempoAutoRepeat {
public:
    static constexpr int kDelayMs = 800;
    static constexpr int kIntervalMs = 250;

    // One tick while a step button is held; true when the step repeats on it.
    bool Tick(int elapsedMs);
    // The button was released or the pointer left it.
    void Reset();

    int HoldTicks() const { return hold_; }
    int RepeatTicks() const { return repeat_; }

private:
    int hold_ = 0;
    int repeat_ = 0;
};
