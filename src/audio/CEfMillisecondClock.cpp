#include "audio/CEfMillisecondClock.h"

namespace {

class SteadyMillisecondClock : public CEfMillisecondClock {
public:
    std::chrono::milliseconds Now() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

} // namespace

CEfMillisecondClock& CEfMillisecondClock::System() {
    static SteadyMillisecondClock clock;
    return clock;
}
