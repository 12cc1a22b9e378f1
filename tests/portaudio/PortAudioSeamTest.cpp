// The PortAudio output against a fake PortAudio: which device it opens, with which latency, and
// what it does when the device fails.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "FakePortAudio.h"
#include "platform/CHfcAudioOutputListener.h"
#include "platform/portaudio/CHfcPortAudioOutput.h"

namespace {

using namespace std::chrono_literals;

const HfcAudioFormat kFormat{48000, 2, 16, 4};

// Keeps writing each buffer again as soon as it is reported done, as the engine does.
class Writer : public CHfcAudioOutputListener {
public:
    explicit Writer(CHfcAudioOutput& output)
        : output_(output), buffers_(4, std::vector<uint8_t>(1024)) {}

    // Holds the lock while the first buffers go in, so the output's thread, which rewrites each
    // buffer from its done report, cannot run ahead (and reach a failing write) before all four
    // are queued.
    bool Start() {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int id = 0; id < 4; ++id) {
            if (!output_.Write(id, buffers_[id].data(), buffers_[id].size())) {
                return false;
            }
        }
        return true;
    }
    void OnHfcAudioBufferDone(int id) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++done_;
            if (!failed_) {
                rewriteFailed_ |= !output_.Write(id, buffers_[id].data(), buffers_[id].size());
            }
        }
        changed_.notify_all();
    }
    void OnHfcAudioOutputFailed() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++failures_;
            failed_ = true;
        }
        changed_.notify_all();
    }
    template <class Pred> bool Wait(Pred pred) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return pred(done_, failures_); });
    }
    int Done() {
        std::lock_guard<std::mutex> lock(mutex_);
        return done_;
    }
    int Failures() {
        std::lock_guard<std::mutex> lock(mutex_);
        return failures_;
    }

private:
    CHfcAudioOutput& output_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int done_ = 0;
    int failures_ = 0;
    bool failed_ = false;
    bool rewriteFailed_ = false;
};

TEST(PortAudioOutput, OpensTheDefaultDeviceWithItsHighLatency) {
    fake_pa::Reset({});
    CHfcPortAudioOutput output;
    Writer writer(output);
    ASSERT_TRUE(output.IsFormatSupported(kFormat));
    ASSERT_TRUE(output.Open(kFormat, writer));
    EXPECT_EQ(fake_pa::LastOpened().device, 0);
    EXPECT_DOUBLE_EQ(fake_pa::LastOpened().suggestedLatency, fake_pa::kHighLatency);
    ASSERT_TRUE(writer.Start());
    // Underflows along the way do not stop it.
    EXPECT_TRUE(writer.Wait([](int done, int) { return done >= 12; }));
    EXPECT_EQ(writer.Failures(), 0);
    output.Close();
}

TEST(PortAudioOutput, AFailingWriteStopsTheOutputAndIsReported) {
    fake_pa::Setup setup;
    setup.failFromWrite = 6;
    fake_pa::Reset(setup);
    CHfcPortAudioOutput output;
    Writer writer(output);
    ASSERT_TRUE(output.Open(kFormat, writer));
    ASSERT_TRUE(writer.Start());
    ASSERT_TRUE(writer.Wait([](int, int failures) { return failures > 0; }));
    std::this_thread::sleep_for(50ms);
    // No "playing" into nothing: the writer has stopped and takes no more buffers.
    EXPECT_EQ(fake_pa::Writes(), 6);
    EXPECT_EQ(writer.Done(), 5);
    EXPECT_EQ(writer.Failures(), 1);
    std::vector<uint8_t> more(1024);
    EXPECT_FALSE(output.Write(0, more.data(), more.size()));
    output.Close();
    EXPECT_FALSE(output.IsOpen());
    // It opens again once the device is back.
    fake_pa::Reset({});
    Writer again(output);
    ASSERT_TRUE(output.Open(kFormat, again));
    ASSERT_TRUE(again.Start());
    EXPECT_TRUE(again.Wait([](int done, int) { return done >= 4; }));
    output.Close();
}

TEST(PortAudioOutput, FallsBackToJackWithoutADefaultDevice) {
    fake_pa::Setup setup;
    setup.alsaDefault = false;
    setup.jackRunning = true;
    fake_pa::Reset(setup);
    CHfcPortAudioOutput output;
    Writer writer(output);
    ASSERT_TRUE(output.IsFormatSupported(kFormat));
    ASSERT_TRUE(output.Open(kFormat, writer));
    EXPECT_EQ(fake_pa::LastOpened().device, 1);
    output.Close();

    setup.jackRunning = false;
    fake_pa::Reset(setup);
    EXPECT_FALSE(output.IsFormatSupported(kFormat));
    EXPECT_FALSE(output.Open(kFormat, writer));
}

} // namespace
