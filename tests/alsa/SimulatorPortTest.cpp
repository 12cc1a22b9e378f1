// The sequencer port talvex-sim plays the instrument on: paced output, and a close (Ctrl+C)
// while a dump is being sent.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "FakeAlsa.h"
#include "RigSupport.h"
#include "platform/alsa/CAlsaVirtualMidiPort.h"

namespace {

using namespace std::chrono_literals;

TEST(SimulatorPort, ClosingWhileADumpIsSentWaitsForOnePieceAndStopsTheSender) {
    fake_alsa::Reset(3125, 0);
    rig::InputRecorder sink;
    CAlsaVirtualMidiPort port;
    std::string error;
    ASSERT_TRUE(port.Open("TALVEX PRO+ (simulated)", "TALVEX PRO+", 100000, sink, error)) << error;
    EXPECT_FALSE(port.Address().empty());
    // A megabyte takes ten seconds at the pace: far longer than the test waits.
    std::vector<uint8_t> dump(1 << 20, 0x11);
    dump.front() = 0xf0;
    dump.back() = 0xf7;
    std::atomic<bool> sent{true};
    std::atomic<bool> returned{false};
    std::thread sender([&] {
        sent = port.Send(dump.data(), dump.size());
        returned = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(returned); // paced, not flooded out at once
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    sender.join();
    EXPECT_FALSE(sent);
    EXPECT_TRUE(port.Address().empty());
    const uint8_t more[] = {0xf0, 0x7e, 0xf7};
    EXPECT_FALSE(port.Send(more, sizeof more));
}

} // namespace
