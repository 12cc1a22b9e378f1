#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "audio/CTarnAudioEngine.h"
#include "audio/CTarnAudioEngineListener.h"
#include "data/CTarnSampleData.h"
#include "framework/EfByteOrder.h"
#include "platform/CHfcNullAudioOutput.h"
#include "platform/CHfcRecordingAudioOutput.h"

namespace {

using std::chrono::milliseconds;

// Generous: only a failing test waits this long, and CI machines run loaded and sanitized.
constexpr milliseconds kWait{10000};
constexpr HfcAudioFormat kStereo48k{48000, 2, 16, 4};
constexpr int kFramesPerBuffer = 2048;

struct CountingListener : CTarnAudioEngineListener {
    void OnTarnAudioPreviewFinished() override { ++finished; }
    void OnTarnAudioPreviewLooped() override { ++looped; }
    std::atomic<int> finished{0};
    std::atomic<int> looped{0};
};

// A 48 kHz bank whose frame f holds f + 1 on the left and -(f + 1) on the right, so every played
// frame names its source. Tempo 300 and phrase length 1/16 give a 600-frame play range; tempo
// 120 and one beat give 24000 frames.
std::unique_ptr<CTarnSampleData> MakeSample(double tempo, int phraseLength, int loop) {
    auto sample = std::make_unique<CTarnSampleData>();
    sample->Initialize();
    sample->SetTempo(tempo);
    sample->SetPhraseLength(phraseLength);
    sample->SetLoopFlag(loop);
    for (int f = 0; f < sample->GetEndFrame(); ++f) {
        sample->SetSample(f, 0, f + 1);
        sample->SetSample(f, 1, -(f + 1));
    }
    sample->SetLoadedFrames(sample->GetEndFrame());
    return sample;
}

// Source frame of each played frame (-1 for silence), checking that both channels agree.
std::vector<int> SourceFrames(const std::vector<uint8_t>& bytes) {
    std::vector<int> frames;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        const auto left = static_cast<int16_t>(ef::ReadLE16(&bytes[i]));
        const auto right = static_cast<int16_t>(ef::ReadLE16(&bytes[i + 2]));
        EXPECT_EQ(left, -right) << "frame " << i / 4;
        frames.push_back(left - 1);
    }
    return frames;
}

class PreviewEngine : public ::testing::Test {
protected:
    void SetUp() override {
        auto recording = std::make_unique<CHfcRecordingAudioOutput>();
        output = recording.get();
        engine = std::make_unique<CTarnAudioEngine>(std::move(recording));
        engine->AddListener(&listener);
        ASSERT_TRUE(engine->Setup(kStereo48k, kFramesPerBuffer * 4));
    }
    void TearDown() override { engine->RemoveListener(&listener); }

    // Lets the output play count buffers, each time waiting until the engine has refilled and
    // queued the buffer again, so the rendering is complete when this returns.
    void PlayBuffers(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(output->PlayNext(kWait));
            ASSERT_TRUE(output->WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
        }
    }

    void StartPreview(const CTarnSampleData& sample) {
        engine->LoadSample(sample);
        engine->Play();
        ASSERT_TRUE(engine->Start());
        ASSERT_EQ(output->QueuedCount(), size_t{CTarnAudioEngine::kBufferCount});
    }

    CHfcRecordingAudioOutput* output = nullptr;
    std::unique_ptr<CTarnAudioEngine> engine;
    CountingListener listener;
};

TEST_F(PreviewEngine, NothingSoundsUntilPlayAndNothingWithAllSlicesOff) {
    auto sample = MakeSample(300.0, 0, 1);
    ASSERT_EQ(sample->GetPlayFrames(), 600);
    engine->LoadSample(*sample);
    ASSERT_TRUE(engine->Start());
    EXPECT_TRUE(engine->IsStreaming());
    PlayBuffers(2);
    for (int k = 0; k < 8; ++k) {
        sample->SetSliceFlag(k, 0);
    }
    engine->UpdateHeader(*sample);
    engine->Play();
    PlayBuffers(6);
    for (int frame : SourceFrames(output->Recorded())) {
        ASSERT_EQ(frame, -1);
    }
    EXPECT_EQ(engine->ReadPeak(0), 0);
    EXPECT_EQ(listener.finished + listener.looped, 0);
}

TEST_F(PreviewEngine, OddSlicesOffPlaysEvenSlicesJumpingToSliceStarts) {
    auto sample = MakeSample(300.0, 0, 1);
    for (int k = 1; k < 8; k += 2) {
        sample->SetSliceFlag(k, 0);
    }
    StartPreview(*sample);
    PlayBuffers(4);
    const std::vector<int> frames = SourceFrames(output->Recorded());
    ASSERT_EQ(frames.size(), size_t{4 * kFramesPerBuffer});
    constexpr int kSlice = 75;
    EXPECT_EQ(frames[0], 0);
    for (size_t i = 1; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i] / kSlice % 2, 0) << "odd slice at " << i;
        if (frames[i] != frames[i - 1] + 1) {
            // A jump leaves the end of an even slice for the start of the next even one.
            ASSERT_EQ(frames[i] % kSlice, 0) << "jump into a slice at " << i;
            ASSERT_EQ(frames[i - 1] % kSlice, kSlice - 1) << "slice cut short at " << i;
            ASSERT_EQ(frames[i], (frames[i - 1] + 1 + kSlice) % 600);
        }
    }
    EXPECT_EQ(frames[74], 74);
    EXPECT_EQ(frames[75], 150);
    EXPECT_EQ(frames[300], 0);
}

TEST_F(PreviewEngine, RunsOfOffSlicesAreCrossedOneFramePerSliceAndHeaderUpdatesKeepPosition) {
    auto sample = MakeSample(300.0, 0, 1);
    for (int k = 1; k <= 3; ++k) {
        sample->SetSliceFlag(k, 0);
    }
    engine->LoadSample(*sample);
    engine->Play();
    auto render = [&](int count) {
        std::vector<uint8_t> buffer(static_cast<size_t>(count) * 4);
        EXPECT_TRUE(engine->Render(count, buffer.data()));
        return SourceFrames(buffer);
    };
    std::vector<int> frames = render(80);
    EXPECT_EQ(frames[74], 74);
    // Slices 1 to 3 each give their first frame on the way to slice 4.
    EXPECT_EQ(std::vector<int>(frames.begin() + 75, frames.end()),
              (std::vector<int>{150, 225, 300, 301, 302}));

    // New slice flags take effect at the current position; the engine keeps its own audio.
    for (int k = 0; k < 8; ++k) {
        sample->SetSliceFlag(k, k == 0 ? 0 : 1);
    }
    for (int f = 300; f < 320; ++f) {
        sample->SetSample(f, 0, 0);
        sample->SetSample(f, 1, 0);
    }
    engine->UpdateHeader(*sample);
    EXPECT_EQ(render(3), (std::vector<int>{303, 304, 305}));
    // The wrap plays the range's first frame even with slice 0 off, then leaves the slice.
    frames = render(297);
    EXPECT_EQ(frames[293], 599);
    EXPECT_EQ(std::vector<int>(frames.end() - 3, frames.end()), (std::vector<int>{0, 75, 76}));
    EXPECT_EQ(listener.looped, 1);
}

TEST_F(PreviewEngine, OneShotPlaysOnceThenReportsTheEndOnce) {
    auto sample = MakeSample(120.0, 4, 0);
    ASSERT_EQ(sample->GetPlayFrames(), 24000);
    StartPreview(*sample);
    // The end falls in the twelfth rendered buffer (frames 22528 to 24575): four rendered at
    // start, eight more after as many played.
    PlayBuffers(7);
    EXPECT_EQ(listener.finished, 0);
    PlayBuffers(1);
    EXPECT_EQ(listener.finished, 1);
    PlayBuffers(8);
    EXPECT_EQ(listener.finished, 1);
    EXPECT_EQ(listener.looped, 0);
    EXPECT_TRUE(engine->IsPlaying());

    const std::vector<int> frames = SourceFrames(output->Recorded());
    ASSERT_EQ(frames.size(), size_t{16 * kFramesPerBuffer});
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i], i < 24000 ? static_cast<int>(i) : -1) << "frame " << i;
    }

    // Played again from the start, the end is reported again.
    engine->StopPlaying();
    PlayBuffers(1);
    engine->Play();
    PlayBuffers(16);
    EXPECT_EQ(listener.finished, 2);
}

TEST_F(PreviewEngine, LoopWrapsToTheStartAndReportsEachWrappingBuffer) {
    auto sample = MakeSample(300.0, 0, 1);
    StartPreview(*sample);
    // Each 2048-frame buffer wraps the 600-frame range at least three times.
    EXPECT_EQ(listener.looped, 4);
    PlayBuffers(2);
    EXPECT_EQ(listener.looped, 6);
    EXPECT_EQ(listener.finished, 0);
    const std::vector<int> frames = SourceFrames(output->Recorded());
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i], static_cast<int>(i % 600)) << "frame " << i;
    }
}

TEST_F(PreviewEngine, PeaksAreSignedMaximaSinceTheLastRead) {
    auto sample = MakeSample(120.0, 4, 1);
    StartPreview(*sample);
    // Four buffers (frames 0 to 8191) were rendered at start.
    EXPECT_EQ(engine->ReadPeak(0), 8192);
    EXPECT_EQ(engine->ReadPeak(1), 0);
    EXPECT_EQ(engine->ReadPeak(0), 0);
    EXPECT_EQ(engine->ReadPeak(2), 0);
    EXPECT_EQ(engine->ReadPeak(-1), 0);
    PlayBuffers(1);
    EXPECT_EQ(engine->ReadPeak(0), 10240);

    // A negative-only channel never raises its peak; a positive one does.
    for (int f = 0; f < sample->GetEndFrame(); ++f) {
        sample->SetSample(f, 0, -30000);
        sample->SetSample(f, 1, (f % 2) ? 1234 : -32768);
    }
    engine->LoadSample(*sample);
    PlayBuffers(4);
    EXPECT_EQ(engine->ReadPeak(0), 0);
    EXPECT_EQ(engine->ReadPeak(1), 1234);
}

TEST_F(PreviewEngine, AnotherRateReopensTheDeviceAtThatRate) {
    auto sample48 = MakeSample(300.0, 0, 1);
    StartPreview(*sample48);
    auto sample44 = std::make_unique<CTarnSampleData>();
    sample44->Initialize();
    sample44->SetSamplingRate(44100, true);
    sample44->RecalcPlayRange();
    ASSERT_EQ(sample44->GetSamplingRate(), 44100);
    engine->LoadSample(*sample44);
    EXPECT_TRUE(engine->IsStreaming());
    EXPECT_EQ(engine->GetFormat().samplingRate, 44100);
    ASSERT_TRUE(output->WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
    PlayBuffers(2);
    engine->LoadSample(*sample44);
    engine->LoadSample(*sample48);

    const std::vector<HfcAudioFormat> opened = output->OpenedFormats();
    ASSERT_EQ(opened.size(), size_t{3});
    EXPECT_EQ(opened[0].samplingRate, 48000);
    EXPECT_EQ(opened[1].samplingRate, 44100);
    EXPECT_EQ(opened[1].bytesPerFrame, 4);
    EXPECT_EQ(opened[2].samplingRate, 48000);

    // Stopped, a rate change only takes effect at the next start.
    engine->Stop();
    EXPECT_FALSE(output->IsOpen());
    engine->LoadSample(*sample44);
    EXPECT_EQ(output->OpenedFormats().size(), size_t{3});
    ASSERT_TRUE(engine->Start());
    EXPECT_EQ(output->OpenedFormats().back().samplingRate, 44100);
}

TEST_F(PreviewEngine, RangeShorterThanEightFramesHasNoSlicesToSkip) {
    CTarnSampleData sample;
    sample.Initialize();
    ASSERT_TRUE(sample.SetFrameCount(5, true));
    sample.RecalcPlayRange();
    ASSERT_EQ(sample.GetPlayFrames(), 5);
    for (int f = 0; f < 5; ++f) {
        sample.SetSample(f, 0, f + 1);
        sample.SetSample(f, 1, -(f + 1));
    }
    sample.SetSliceFlag(0, 0);
    sample.SetSliceFlag(3, 0);
    engine->LoadSample(sample);
    engine->Play();
    std::vector<uint8_t> buffer(12 * 4);
    ASSERT_TRUE(engine->Render(12, buffer.data()));
    const std::vector<int> frames = SourceFrames(buffer);
    const std::vector<int> expected = {0, 1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1};
    EXPECT_EQ(frames, expected);
}

TEST_F(PreviewEngine, RangeStartingLaterIsReachedAndSlicedFromItsStart) {
    auto sample = MakeSample(300.0, 0, 1);
    for (int f = 0; f < 700; ++f) {
        sample->SetSample(f, 0, f + 1);
        sample->SetSample(f, 1, -(f + 1));
    }
    sample->SetSliceFlag(1, 0);
    std::vector<uint8_t> block(static_cast<size_t>(sample->GetBlockDataSize()));
    ASSERT_TRUE(sample->GetBlockData(block.data(), static_cast<int>(block.size()), 0));
    ef::WriteLE32(&block[84], 100);
    CTarnSampleData later;
    ASSERT_TRUE(later.SetBlockData(block.data(), static_cast<int>(block.size())));
    ASSERT_EQ(later.GetStartFrame(), 100);
    ASSERT_EQ(later.GetEndFrame(), 700);
    engine->LoadSample(later);
    engine->Play();
    std::vector<uint8_t> buffer(800 * 4, 0xAA);
    ASSERT_TRUE(engine->Render(800, buffer.data()));
    const std::vector<int> frames = SourceFrames(buffer);
    // The frame that finds the position before the range is silent, not left as it was.
    EXPECT_EQ(frames[0], -1);
    EXPECT_EQ(frames[1], 100);
    EXPECT_EQ(frames[75], 174);
    // Slice 1 (frames 175 to 249 of the bank) is skipped.
    EXPECT_EQ(frames[76], 250);
    EXPECT_EQ(frames[525], 699);
    EXPECT_EQ(frames[526], 100);
}

TEST(PreviewEngineFormats, OtherWidthsAndMonoCopiesAreWrittenInTheEngineFormat) {
    auto sample = MakeSample(300.0, 0, 1);
    CTarnAudioEngine wide(nullptr);
    EXPECT_FALSE(wide.Setup({48000, 2, 24, 6}, 8192));
    wide.LoadSample(*sample);
    wide.Play();
    std::vector<uint8_t> buffer(3 * 6);
    ASSERT_TRUE(wide.Render(3, buffer.data()));
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(ef::ReadLE24(&buffer[f * 6]), static_cast<uint32_t>((f + 1) << 8));
        EXPECT_EQ(ef::ReadLE24(&buffer[f * 6 + 3]),
                  static_cast<uint32_t>(-(f + 1) * 256) & 0xFFFFFF);
    }
    EXPECT_EQ(wide.ReadPeak(0), 3);

    CTarnAudioEngine narrow(nullptr);
    narrow.Setup({48000, 2, 8, 2}, 8192);
    narrow.LoadSample(*sample);
    std::vector<uint8_t> silence(4 * 2, 0);
    ASSERT_TRUE(narrow.Render(4, silence.data()));
    EXPECT_EQ(silence, std::vector<uint8_t>(8, 0x80));

    CTarnSampleData mono;
    mono.Initialize();
    ASSERT_TRUE(mono.SetChannels(1, true));
    mono.RecalcPlayRange();
    mono.SetSample(0, 0, 1000);
    mono.SetSample(1, 0, -1000);
    CTarnAudioEngine stereo(nullptr);
    stereo.Setup(kStereo48k, 8192);
    stereo.LoadSample(mono);
    stereo.Play();
    std::vector<uint8_t> out(2 * 4);
    ASSERT_TRUE(stereo.Render(2, out.data()));
    EXPECT_EQ(static_cast<int16_t>(ef::ReadLE16(&out[0])), 1000);
    EXPECT_EQ(static_cast<int16_t>(ef::ReadLE16(&out[2])), 1000);
    EXPECT_EQ(static_cast<int16_t>(ef::ReadLE16(&out[4])), -1000);
    EXPECT_EQ(static_cast<int16_t>(ef::ReadLE16(&out[6])), -1000);
}

TEST_F(PreviewEngine, MissingOrRefusingDeviceLeavesTheEngineSilent) {
    CTarnAudioEngine noOutput(nullptr);
    EXPECT_FALSE(noOutput.Setup(kStereo48k, 8192));
    EXPECT_FALSE(noOutput.Start());
    noOutput.Stop();
    noOutput.Teardown();

    auto refusing = std::make_unique<CHfcRecordingAudioOutput>();
    refusing->SetDeviceAvailable(false);
    CTarnAudioEngine refused(std::move(refusing));
    EXPECT_FALSE(refused.Setup(kStereo48k, 8192));
    EXPECT_FALSE(refused.IsSetUp());
    EXPECT_FALSE(refused.Start());
    EXPECT_FALSE(refused.IsStreaming());

    // Buffer sizes from the preferences are bounded.
    CTarnAudioEngine huge(std::make_unique<CHfcRecordingAudioOutput>());
    ASSERT_TRUE(huge.Setup(kStereo48k, 0x7fffffff));
    EXPECT_EQ(huge.GetFramesPerBuffer(), CTarnAudioEngine::kMaxFramesPerBuffer);
    EXPECT_TRUE(huge.Start());
    CTarnAudioEngine tiny(std::make_unique<CHfcRecordingAudioOutput>());
    ASSERT_TRUE(tiny.Setup(kStereo48k, 3));
    EXPECT_FALSE(tiny.Start());
    EXPECT_FALSE(tiny.IsStreaming());

    // The device goes away between set-up and start.
    output->SetDeviceAvailable(false);
    EXPECT_FALSE(engine->Start());
    EXPECT_FALSE(engine->IsStreaming());
    output->SetDeviceAvailable(true);
    EXPECT_TRUE(engine->Start());
}

// A listener that stops the preview from the rendering thread, as the page does on the user
// interface thread.
struct StoppingListener : CTarnAudioEngineListener {
    explicit StoppingListener(CTarnAudioEngine& e) : engine(e) {}
    void OnTarnAudioPreviewFinished() override { engine.StopPlaying(); }
    void OnTarnAudioPreviewLooped() override { engine.ReadPeak(0); }
    CTarnAudioEngine& engine;
};

TEST(PreviewEngineThreads, StartStopAndTeardownWhileTheDeviceRuns) {
    auto sample48 = MakeSample(300.0, 0, 1);
    auto oneShot = MakeSample(300.0, 0, 0);
    auto sample44 = std::make_unique<CTarnSampleData>();
    sample44->Initialize();
    sample44->SetSamplingRate(44100, true);
    sample44->RecalcPlayRange();
    for (int round = 0; round < 3; ++round) {
        // 64-frame buffers keep the rendering thread busy.
        CTarnAudioEngine engine(std::make_unique<CHfcNullAudioOutput>());
        StoppingListener stopper(engine);
        engine.AddListener(&stopper);
        ASSERT_TRUE(engine.Setup(kStereo48k, 256));
        ASSERT_TRUE(engine.Start());
        for (int i = 0; i < 10; ++i) {
            engine.LoadSample(i % 3 == 0 ? *sample44 : (i % 3 == 1 ? *oneShot : *sample48));
            engine.Play();
            std::this_thread::sleep_for(milliseconds(3));
            engine.UpdateHeader(*sample48);
            engine.ReadPeak(1);
            if (i % 4 == 3) {
                engine.Stop();
                EXPECT_FALSE(engine.IsStreaming());
                EXPECT_TRUE(engine.Start());
            }
        }
        if (round == 1) {
            engine.Stop();
        }
        if (round == 2) {
            engine.Teardown();
            EXPECT_FALSE(engine.IsSetUp());
        }
        engine.RemoveListener(&stopper);
    }
}

} // namespace
