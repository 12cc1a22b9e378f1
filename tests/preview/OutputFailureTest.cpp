#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "FailingAudioOutput.h"
#include "audio/CTarnAudioEngine.h"
#include "audio/CTarnAudioEngineListener.h"
#include "data/CTarnSampleData.h"
#include "framework/EfByteOrder.h"
#include "platform/CHfcNullAudioOutput.h"
#include "platform/CHfcRecordingAudioOutput.h"

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kWait{10000};
constexpr HfcAudioFormat kStereo48k{48000, 2, 16, 4};
constexpr int kFramesPerBuffer = 2048;

struct CountingListener : CTarnAudioEngineListener {
    void OnTarnAudioPreviewFinished() override { ++finished; }
    void OnTarnAudioPreviewLooped() override { ++looped; }
    std::atomic<int> finished{0};
    std::atomic<int> looped{0};
};

// A looping 48 kHz bank of 600 play frames whose frame f holds f + 1 (left) and -(f + 1).
std::unique_ptr<CTarnSampleData> MakeLoop() {
    auto sample = std::make_unique<CTarnSampleData>();
    sample->Initialize();
    sample->SetTempo(300.0);
    sample->SetPhraseLength(0);
    sample->SetLoopFlag(1);
    for (int f = 0; f < sample->GetEndFrame(); ++f) {
        sample->SetSample(f, 0, f + 1);
        sample->SetSample(f, 1, -(f + 1));
    }
    sample->SetLoadedFrames(sample->GetEndFrame());
    return sample;
}

bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(1));
    }
    return true;
}

// Left channel of the first frame of the recording, minus one: the source frame it came from.
int FirstSourceFrame(const std::vector<uint8_t>& bytes) {
    return bytes.size() < 4 ? -2 : static_cast<int16_t>(ef::ReadLE16(bytes.data())) - 1;
}

class PreviewOutputFailure : public ::testing::Test {
protected:
    void SetUp() override {
        auto recording = std::make_unique<CHfcRecordingAudioOutput>();
        device = recording.get();
        auto failing = std::make_unique<FailingAudioOutput>(std::move(recording));
        output = failing.get();
        engine = std::make_unique<CTarnAudioEngine>(std::move(failing));
        engine->AddListener(&listener);
        ASSERT_TRUE(engine->Setup(kStereo48k, kFramesPerBuffer * 4));
        ASSERT_TRUE(engine->Start());
        ASSERT_TRUE(device->WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
    }
    void TearDown() override { engine->RemoveListener(&listener); }

    void PlayBuffers(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(device->PlayNext(kWait));
            ASSERT_TRUE(device->WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
        }
    }

    CHfcRecordingAudioOutput* device = nullptr;
    FailingAudioOutput* output = nullptr;
    std::unique_ptr<CTarnAudioEngine> engine;
    CountingListener listener;
};

TEST_F(PreviewOutputFailure, WriteFailureEndsThePreviewOnceAndTheNextPlayReopensAndPlays) {
    auto sample = MakeLoop();
    engine->LoadSample(*sample);
    ASSERT_TRUE(engine->Play());
    PlayBuffers(2);
    const int loopedBefore = listener.looped;

    ASSERT_TRUE(output->FailFromWriterThread());
    ASSERT_TRUE(WaitUntil([&] { return listener.finished > 0; }));
    EXPECT_FALSE(engine->IsStreaming());
    EXPECT_TRUE(engine->IsOutputLost());
    EXPECT_FALSE(device->IsOpen()) << "the failed device is closed, not left \"playing\"";
    EXPECT_FALSE(engine->IsPlaying());
    EXPECT_EQ(device->QueuedCount(), size_t{0});

    // Nothing more is reported while the device is gone.
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(listener.finished, 1);
    EXPECT_EQ(listener.looped, loopedBefore);

    // The user presses the preview button again: the device is back.
    device->ClearRecorded();
    engine->LoadSample(*sample);
    ASSERT_TRUE(engine->Play());
    EXPECT_TRUE(engine->IsStreaming());
    EXPECT_FALSE(engine->IsOutputLost());
    EXPECT_EQ(output->Opens(), 2);
    ASSERT_TRUE(device->WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
    PlayBuffers(1);
    EXPECT_EQ(FirstSourceFrame(device->Recorded()), 0) << "plays again from the start";
    EXPECT_TRUE(engine->IsPlaying());
    EXPECT_EQ(listener.finished, 1);
}

TEST_F(PreviewOutputFailure, FailureWhileSilentReportsNothingAndPlayReopens) {
    ASSERT_TRUE(output->FailFromWriterThread());
    ASSERT_TRUE(WaitUntil([&] { return engine->IsOutputLost(); }));
    std::this_thread::sleep_for(milliseconds(20));
    EXPECT_EQ(listener.finished, 0) << "no preview was on";

    auto sample = MakeLoop();
    engine->LoadSample(*sample);
    ASSERT_TRUE(engine->Play());
    EXPECT_EQ(output->Opens(), 2);
    PlayBuffers(1);
    EXPECT_EQ(FirstSourceFrame(device->Recorded()), 0);
    EXPECT_EQ(listener.finished, 0);
}

TEST_F(PreviewOutputFailure, DeviceThatStaysAwayFailsPlayCleanlyUntilItComesBack) {
    auto sample = MakeLoop();
    engine->LoadSample(*sample);
    ASSERT_TRUE(engine->Play());
    ASSERT_TRUE(output->FailFromWriterThread());
    ASSERT_TRUE(WaitUntil([&] { return listener.finished == 1; }));

    output->SetDeviceAvailable(false);
    EXPECT_FALSE(engine->Play());
    EXPECT_FALSE(engine->IsPlaying()) << "the preview button must go off again";
    EXPECT_EQ(listener.finished, 2);
    EXPECT_EQ(output->RefusedOpens(), 1);
    EXPECT_FALSE(engine->IsStreaming());
    EXPECT_TRUE(engine->IsOutputLost());
    EXPECT_FALSE(engine->Start());

    output->SetDeviceAvailable(true);
    ASSERT_TRUE(engine->Play());
    EXPECT_TRUE(engine->IsStreaming());
    PlayBuffers(1);
    EXPECT_EQ(listener.finished, 2);

    // A stopped engine is not reopened behind the caller's back; Play only arms the preview.
    engine->Stop();
    EXPECT_FALSE(engine->IsOutputLost());
    EXPECT_TRUE(engine->Play());
    EXPECT_FALSE(engine->IsStreaming());
}

TEST_F(PreviewOutputFailure, FailureReportedFromInsideWriteOnTheRenderingThread) {
    auto sample = MakeLoop();
    engine->LoadSample(*sample);
    ASSERT_TRUE(engine->Play());
    output->FailNextWrite();
    // The refill after this buffer finds the device gone.
    ASSERT_TRUE(device->PlayNext(kWait));
    ASSERT_TRUE(WaitUntil([&] { return listener.finished == 1; }));
    EXPECT_FALSE(device->IsOpen());
    ASSERT_TRUE(engine->Play());
    EXPECT_TRUE(engine->IsStreaming());
    ASSERT_TRUE(device->WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
}

// The output's writer thread takes the real-time attempt; the renderer works ahead of it at
// normal priority, so it never starves the writer or the rest of the machine.
struct PolicyListener : CTarnAudioEngineListener {
    void OnTarnAudioPreviewFinished() override {}
    void OnTarnAudioPreviewLooped() override {
        sched_param parameters{};
        int value = -1;
        pthread_getschedparam(pthread_self(), &value, &parameters);
        policy = value;
    }
    std::atomic<int> policy{-1};
};

TEST_F(PreviewOutputFailure, RenderingThreadRunsAtNormalPriority) {
    PolicyListener policy;
    engine->AddListener(&policy);
    auto sample = MakeLoop();
    engine->LoadSample(*sample);
    ASSERT_TRUE(engine->Play());
    PlayBuffers(2);
    engine->RemoveListener(&policy);
    EXPECT_EQ(policy.policy, SCHED_OTHER);
}

// Holds the rendering thread inside Render, with the "AudioEngine" lock taken, when armed: a
// 24-bit engine format makes Render store every sample through WriteSample.
class GatedEngine : public CTarnAudioEngine {
public:
    using CTarnAudioEngine::CTarnAudioEngine;
    ~GatedEngine() override { Teardown(); }

    void WriteSample(uint8_t* destination, int32_t frame, int32_t channel, int32_t value) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (armed_) {
            armed_ = false;
            entered_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        }
        lock.unlock();
        CTarnAudioEngine::WriteSample(destination, frame, channel, value);
    }
    void Arm() {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = true;
    }
    bool WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, kWait, [this] { return entered_; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool entered_ = false;
    bool released_ = false;
};

TEST(PreviewOutputFailureThreads, FailureWhileTheRenderingThreadHoldsTheEngineLock) {
    auto recording = std::make_unique<CHfcRecordingAudioOutput>();
    CHfcRecordingAudioOutput* device = recording.get();
    auto failing = std::make_unique<FailingAudioOutput>(std::move(recording));
    FailingAudioOutput* output = failing.get();
    GatedEngine engine(std::move(failing));
    CountingListener listener;
    engine.AddListener(&listener);
    ASSERT_TRUE(engine.Setup({48000, 2, 24, 6}, 6 * 256));
    auto sample = MakeLoop();
    engine.LoadSample(*sample);
    ASSERT_TRUE(engine.Play());
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(device->WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));

    engine.Arm();
    ASSERT_TRUE(device->PlayNext(kWait));
    ASSERT_TRUE(engine.WaitEntered());
    // The writer's report must return at once although the rendering thread is stuck in Render.
    auto reported = std::async(std::launch::async, [&] { return output->FailFromWriterThread(); });
    EXPECT_EQ(reported.wait_for(kWait), std::future_status::ready);
    EXPECT_EQ(listener.finished, 0) << "handled by the rendering thread once it is free";
    engine.Release();
    EXPECT_TRUE(reported.get());
    ASSERT_TRUE(WaitUntil([&] { return listener.finished == 1; }));
    EXPECT_FALSE(device->IsOpen());
    ASSERT_TRUE(engine.Play());
    EXPECT_TRUE(device->IsOpen());
    engine.RemoveListener(&listener);
}

// Failures from the writer side race with everything the user interface does; run under
// ThreadSanitizer this shows the hand-over is clean, and the engine always ends in a usable state.
TEST(PreviewOutputFailureThreads, FailuresRacingWithPreviewControlsLeaveAWorkingEngine) {
    auto sample = MakeLoop();
    for (int round = 0; round < 3; ++round) {
        auto failing =
            std::make_unique<FailingAudioOutput>(std::make_unique<CHfcNullAudioOutput>());
        FailingAudioOutput* output = failing.get();
        CTarnAudioEngine engine(std::move(failing));
        CountingListener listener;
        engine.AddListener(&listener);
        // 64-frame buffers keep the rendering thread busy.
        ASSERT_TRUE(engine.Setup(kStereo48k, 256));
        ASSERT_TRUE(engine.Start());
        std::atomic<bool> done{false};
        std::thread device([&] {
            while (!done) {
                output->FailFromWriterThread();
                if (round == 1) {
                    output->FailNextWrite();
                }
                std::this_thread::sleep_for(milliseconds(2));
            }
        });
        for (int i = 0; i < 40; ++i) {
            engine.LoadSample(*sample);
            engine.Play();
            engine.UpdateHeader(*sample);
            engine.ReadPeak(0);
            if (i % 5 == 4) {
                engine.Stop();
                engine.Start();
            }
            std::this_thread::sleep_for(milliseconds(1));
        }
        done = true;
        device.join();
        output->FailNextWrite(false);
        // Whatever failed last (a report still waiting is handled before the Stop), the engine
        // streams again once started.
        engine.Stop();
        ASSERT_TRUE(engine.Start());
        EXPECT_TRUE(engine.Play());
        EXPECT_TRUE(engine.IsStreaming());
        EXPECT_TRUE(output->IsOpen());
        if (round == 2) {
            engine.Teardown();
        }
        engine.RemoveListener(&listener);
    }
}

} // namespace
