// Preview on the Sample Librarian through the host's engine and the recording output: start and
// stop, the engine's notifications handed to the user-interface thread, message 7 and page
// switches, a device that cannot be opened, and the level meters.
#include <QTest>
#include <QThread>
#include <chrono>
#include <cmath>
#include <thread>

#include "SampleLibrarianFixture.h"
#include "audio/CTarnAudioEngine.h"
#include "data/CTarnSampleData.h"
#include "framework/CEfMessage.h"
#include "ui/framework/CEfControlHorizontalVuMeter.h"

namespace {

using SamplePreview = SampleLibrarianFixture;
using SampleMeters = SampleLibrarianFixture;

constexpr std::chrono::milliseconds kWait(2000);

// Lets the output play one buffer and waits until the engine has rendered and queued it again.
void PlayOneBuffer(CHfcRecordingAudioOutput& output) {
    ASSERT_TRUE(output.WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
    ASSERT_TRUE(output.PlayNext(kWait));
    ASSERT_TRUE(output.WaitForQueued(CTarnAudioEngine::kBufferCount, kWait));
}

TEST_F(SamplePreview, TheButtonStartsAndStopsThePreview) {
    // The page opens the output once it has been painted.
    ASSERT_TRUE(WaitFor([&] { return host->GetAudioEngine()->IsStreaming(); }));
    Fill(*BankData(0), 24000, 1000, 1000);
    CEfControl* preview = Control("BtnWavePreview");
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_TRUE(page->IsPreviewing());
    EXPECT_EQ(preview->Value(), 1);
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_FALSE(page->IsPreviewing());
    EXPECT_EQ(preview->Value(), 0);
    EXPECT_FALSE(host->IsModified());
}

TEST_F(SamplePreview, AOneShotEndsThePreviewOnTheUserInterfaceThread) {
    // 1/16 beat at 120 BPM: 1500 frames, less than one buffer.
    Fill(*BankData(0), 1500, 2000, 2000);
    BankData(0)->SetPhraseLength(0);
    BankData(0)->SetLoopFlag(0);
    page->SelectBank(0);
    ASSERT_TRUE(page->StartPreview());

    PlayOneBuffer(*output);
    // The engine has reported the end from its own thread; the page hears of it only through
    // the event queue.
    EXPECT_EQ(Control("BtnWavePreview")->Value(), 1);
    EXPECT_TRUE(WaitFor([&] { return Control("BtnWavePreview")->Value() == 0; }));
    EXPECT_FALSE(page->IsPreviewing());
}

TEST_F(SamplePreview, ALoopWrappingEmptiesTheTapQueue) {
    Fill(*BankData(0), 1500, 2000, 2000);
    BankData(0)->SetPhraseLength(0);
    page->SelectBank(0);
    QTest::mouseClick(Control("BtnTapTempo"), Qt::LeftButton);
    ASSERT_EQ(page->TapQueue().GetCount(), 1);
    ASSERT_TRUE(page->StartPreview());
    PlayOneBuffer(*output);
    EXPECT_TRUE(WaitFor([&] { return page->TapQueue().GetCount() == 0; }));
    EXPECT_TRUE(page->IsPreviewing());
}

TEST_F(SamplePreview, NotificationsFromAnotherThreadWaitForTheEventQueue) {
    // A host without a hand-off of its own calls straight from the rendering thread; the page
    // still touches its widgets only on its own thread.
    Fill(*BankData(0), 4800, 500, 500);
    QTest::mouseClick(Control("BtnTapTempo"), Qt::LeftButton);
    ASSERT_TRUE(page->StartPreview());
    std::thread renderer([this] {
        page->OnTarnHostPreviewLooped();
        page->OnTarnHostPreviewEnded();
    });
    renderer.join();
    EXPECT_EQ(Control("BtnWavePreview")->Value(), 1);
    EXPECT_EQ(page->TapQueue().GetCount(), 1);
    ProcessEvents();
    EXPECT_EQ(Control("BtnWavePreview")->Value(), 0);
    EXPECT_FALSE(page->IsPreviewing());
    EXPECT_EQ(page->TapQueue().GetCount(), 0);
}

TEST_F(SamplePreview, MessageSevenAndPageSwitchesStopThePreview) {
    Fill(*BankData(0), 4800, 500, 500);
    ASSERT_TRUE(page->StartPreview());
    host->PostMessage(kMsgStopPreview);
    ProcessEvents();
    EXPECT_FALSE(page->IsPreviewing());
    EXPECT_EQ(Control("BtnWavePreview")->Value(), 0);

    ASSERT_TRUE(page->StartPreview());
    ASSERT_TRUE(host->SetPage(1));
    EXPECT_FALSE(host->GetAudioEngine()->IsPlaying());
    ASSERT_TRUE(host->SetPage(0));
    EXPECT_EQ(Control("BtnWavePreview")->Value(), 0);
}

TEST_F(SamplePreview, ADeviceThatCannotOpenIsReportedOnceAndThePageGoesOn) {
    CTarnAudioEngine* engine = host->GetAudioEngine();
    engine->Stop();
    output->SetDeviceAvailable(false);
    CEfControl* preview = Control("BtnWavePreview");
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_EQ(AlertTexts(), std::vector<std::string>{"Failed to open the audio output device."});
    EXPECT_EQ(preview->Value(), 0);
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_EQ(alerts.alerts.size(), 1u);
    EXPECT_FALSE(page->IsPreviewing());

    // Everything else still works.
    QTest::mouseClick(Control("BtnSampleBankB"), Qt::LeftButton);
    EXPECT_EQ(host->GetBank(), 1);
    QTest::mouseClick(Control("BtnTempoInc"), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(BankData(1)->GetTempo(), 121.0);
    page->OnEfLayerTick(30);

    // Once the device is back the preview plays.
    output->SetDeviceAvailable(true);
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_TRUE(page->IsPreviewing());
    EXPECT_EQ(alerts.alerts.size(), 1u);
}

TEST_F(SampleMeters, EachTickShowsTheDecibelsOfThePeaksSinceTheLastOne) {
    Fill(*BankData(0), 48000, 16384, 8192);
    page->SelectBank(0);
    auto* left = page->FindControlAs<CEfControlHorizontalVuMeter>("VuMeterL");
    auto* right = page->FindControlAs<CEfControlHorizontalVuMeter>("VuMeterR");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(left->MinimumLevel(), -48.0);

    ASSERT_TRUE(page->StartPreview());
    PlayOneBuffer(*output);
    page->OnEfLayerTick(30);
    EXPECT_NEAR(page->MeterLevel(0), -6.02033, 1e-4);
    EXPECT_NEAR(page->MeterLevel(1), -12.04093, 1e-4);
    EXPECT_NEAR(left->Level(), -6.02033, 1e-4);
    EXPECT_NEAR(right->Level(), -12.04093, 1e-4);
    // The peaks were read and reset: with no new buffer the meters fall back gently.
    page->OnEfLayerTick(30);
    EXPECT_NEAR(page->MeterLevel(0),
                -6.02033 - 30 * CTarnSampleLibrarianLayer::kMeterReleaseDbPerMs, 1e-4);
    // Until they pass the bottom of the scale, where they show nothing.
    for (int i = 0; i < 40; ++i) {
        page->OnEfLayerTick(30);
    }
    EXPECT_TRUE(std::isinf(page->MeterLevel(0)));
    EXPECT_EQ(left->BarLength(left->Level()), 0);

    // A louder buffer shows at once.
    page->StopPreview();
    Fill(*BankData(0), 48000, 32767, 3277);
    ASSERT_TRUE(page->StartPreview());
    PlayOneBuffer(*output);
    page->OnEfLayerTick(30);
    EXPECT_NEAR(page->MeterLevel(0), 0.0, 1e-9);
    EXPECT_NEAR(page->MeterLevel(1), -19.99920, 1e-4);
    EXPECT_EQ(left->BarLength(left->Level()), left->width());
}

} // namespace
