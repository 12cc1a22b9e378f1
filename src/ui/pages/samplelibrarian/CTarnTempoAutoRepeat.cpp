#include "ui/pages/samplelibrarian/CTarnTempoAutoRepeat.h"

#include <algorithm>

bool CTarnTempoAutoRepeat::Tick(int elapsedMs) {
    // A tick that reports no time still counts as one.
    const int t = std::max(elapsedMs, 1);
    const int delayTicks = kDelayMs / t;
    // Past the delay the hold count has done its job; it stops there rather than overflow.
    hold_ = std::min(hold_ + 1, delayTicks + 1);
    if (hold_ <= delayTicks) {
        return false;
    }
    ++repeat_;
    if (repeat_ <= kIntervalMs / t) {
        return false;
    }
    repeat_ = 0;
    return true;
}

void CTarnTempoAutoRepeat::Reset() {
    hold_ = 0;
    repeat_ = 0;
}
