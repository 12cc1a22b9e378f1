#include "platform/alsa/CAlsaClock.h"

#include <thread>

namespace {

class CSteadyClock : public CAlsaClock {
public:
    Duration Now() override { return std::chrono::steady_clock::now().time_since_epoch(); }
    void SleepUntil(Duration when) override {
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(when)));
    }
};

} // namespace

CAlsaClock& CAlsaClock::Steady() {
    static CSteadyClock clock;
    return clock;
}
