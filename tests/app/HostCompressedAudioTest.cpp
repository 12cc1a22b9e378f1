#include <filesystem>

#include "HostFixture.h"
#include "data/CTarnAllData.h"
#include "framework/CEfMessageManagerApp.h"
#include "midi/port/CHfcMidiSystem.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"
#include "platform/CVirtualMidiDriver.h"

namespace {

// The host with the compressed-audio decoder of this build, as the editor starts it.
class HostWithDecoder : public HostFixture {
protected:
    void SetUp() override {
        decoder = CreateCompressedAudioDecoder();
        if (!decoder) {
            GTEST_SKIP() << "built without a compressed-audio decoder";
        }
        HostFixture::SetUp();
        host->GetMessageManager()->UnregisterWindow(messages.get());
        messages.reset();
        host = std::make_unique<CTarnHost>();
        CTarnHostServices services;
        services.preferencesStore = &store;
        services.midiDriver = &instrument->Driver();
        services.decoder = decoder.get();
        services.acquireResources = false;
        ASSERT_TRUE(host->Initialize(std::move(services)));
        host->SetWindow(&window);
        messages = std::make_unique<RecordingMessageWindow>(*host->GetMessageManager());
        host->GetMessageManager()->RegisterWindow(messages.get());
    }

    std::unique_ptr<CHfcCompressedAudioDecoder> decoder;
};

std::string AudioFixture(const std::string& name) {
    return std::string(TALVEX_FIXTURES_DIR) + "/audio/" + name;
}

} // namespace

// Every extension the decoder lists is opened by path (drop, command line, second start) into the
// selected bank; what it does not list is not, whatever the file holds.
TEST_F(HostWithDecoder, OpensEveryFormatTheDecoderLists) {
    EXPECT_TRUE(host->HasCompressedAudio());
    for (const std::string& extension : decoder->Extensions()) {
        EXPECT_TRUE(host->IsOpenableByPath("Loop." + extension)) << extension;
    }
    EXPECT_TRUE(host->IsOpenableByPath("/music/LOOP.FLAC"));
    EXPECT_FALSE(host->IsOpenableByPath("loop.mid"));

    int bank = 0;
    for (const char* name : {"sine_48k.flac", "sine_48k.opus", "sine_48k.wv", "sine_48k.caf",
                             "sine_48k.ogg", "sine_48k.aac", "loop_120bpm_44k.m4a"}) {
        host->SetBank(bank);
        ASSERT_TRUE(host->OpenPath(AudioFixture(name))) << name;
        EXPECT_GT(host->GetAllData()->Bank(bank)->GetLoadedFrames(), 23000) << name;
        EXPECT_EQ(host->GetPage(), 0) << name;
        bank = (bank + 1) % 4;
    }
    EXPECT_TRUE(alerts.alerts.empty());

    std::filesystem::copy_file(AudioFixture("sine_48k.flac"), dir.File("sine.mid"));
    EXPECT_FALSE(host->OpenPath(dir.File("sine.mid")));
}
