#include <memory>

#include "SampleLibrarianFixture.h"
#include "data/CTarnSampleData.h"
#include "platform/CHfcCompressedAudioDecoderFactory.h"

namespace {

const std::string kFixtures = TALVEX_FIXTURES_DIR "/audio/";

// The page with the compressed-audio decoder of this build, as the editor starts it.
class CompressedFileDrop : public SampleLibrarianFixture {
protected:
    void SetUp() override {
        owned_ = CreateCompressedAudioDecoder();
        if (!owned_) {
            GTEST_SKIP() << "built without a compressed-audio decoder";
        }
        decoder = owned_.get();
        SampleLibrarianFixture::SetUp();
    }
    void TearDown() override {
        SampleLibrarianFixture::TearDown();
        owned_.reset();
    }

private:
    std::unique_ptr<CHfcCompressedAudioDecoder> owned_;
};

} // namespace

TEST_F(CompressedFileDrop, AFlacDroppedOnBImportsIntoB) {
    CEfControl* bankB = Control("BtnSampleBankB");
    const CEfDragInfo info = FilesDrag({kFixtures + "notes.txt", kFixtures + "sine_48k.flac"});
    EXPECT_EQ(page->OnEfControlDragOver(bankB, info), EfDropEffect::kCopy);
    EXPECT_EQ(page->OnEfControlDrop(bankB, info), EfDropEffect::kCopy);
    ProcessEvents();
    EXPECT_EQ(BankData(1)->GetLoadedFrames(), 24000);
    EXPECT_EQ(host->GetBank(), 1);
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(CompressedFileDrop, EveryListedFormatIsTakenAndOthersAreNot) {
    CEfControl* bankA = Control("BtnSampleBankA");
    for (const char* name : {"sine_48k.opus", "sine_48k.ogg", "sine_48k.wv", "sine_48k.caf",
                             "sine_48k.aac", "loop_120bpm_48k.m4a", "loop_120bpm_48k.mp3"}) {
        EXPECT_EQ(page->OnEfControlDragOver(bankA, FilesDrag({kFixtures + name})),
                  EfDropEffect::kCopy)
            << name;
    }
    EXPECT_EQ(page->OnEfControlDragOver(bankA, FilesDrag({kFixtures + "loop.mid"})),
              EfDropEffect::kNone);
}
