// The PortAudio output with the real library, playing into ALSA's null device: open, write,
// change the rate, close.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/CHfcAudioOutputListener.h"
#include "platform/portaudio/CHfcPortAudioOutput.h"

namespace {

using namespace std::chrono_literals;

class Writer : public CHfcAudioOutputListener {
public:
    Writer(CHfcAudioOutput& output, size_t bytes)
        : output_(output), buffers_(4, std::vector<uint8_t>(bytes)) {}
    bool Start() {
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
            output_.Write(id, buffers_[id].data(), buffers_[id].size());
        }
        changed_.notify_all();
    }
    void OnHfcAudioOutputFailed() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            failed_ = true;
        }
        changed_.notify_all();
    }
    bool WaitForDone(int count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return done_ >= count || failed_; }) && !failed_;
    }

private:
    CHfcAudioOutput& output_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int done_ = 0;
    bool failed_ = false;
};

class NullDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("ALSA_CONFIG_PATH", TALVEX_NULL_ALSA_CONFIG, 1); }
};

TEST_F(NullDevice, OpenWriteChangeTheRateAndClose) {
    CHfcPortAudioOutput output;
    for (int rate : {48000, 44100}) {
        const HfcAudioFormat format{rate, 2, 16, 4};
        ASSERT_TRUE(output.IsFormatSupported(format)) << rate;
        Writer writer(output, 2048 * 4);
        ASSERT_TRUE(output.Open(format, writer)) << rate;
        ASSERT_TRUE(writer.Start());
        EXPECT_TRUE(writer.WaitForDone(8)) << rate;
        output.Reset();
        output.Close();
        EXPECT_FALSE(output.IsOpen());
    }
}

} // namespace
