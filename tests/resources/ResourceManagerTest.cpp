// The picture table: every picture decodes at 1x and 2x at its documented size, damaged data
// gives nothing, and the singleton counts and fails as the other resource services do.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnResourceManager.h"
#include "framework/CEfEmbeddedFiles.h"
#include "framework/EfPngDecoder.h"
#include "support/RecordingTraceSink.h"

namespace {

struct LayoutSize {
    int width;
    int height;
};

// Layout sizes of the whole pictures (button strips hold 3 states stacked vertically), as
// resources/README.md lists them for laying out the pages.
const std::map<std::string, LayoutSize>& ExpectedSizes() {
    static const std::map<std::string, LayoutSize> sizes = [] {
        std::map<std::string, LayoutSize> s = {
            {"BG_About", {300, 300}},
            {"BG_SampleLibrarian", {700, 439}},
            {"BG_ExtCtrlEdit", {360, 358}},
            {"BG_ExtCtrlParamEdit", {340, 358}},
            {"BG_ProgramMemoryEdit", {700, 439}},
            {"BG_GlobalEditCommon", {700, 439}},
            {"BG_GlobalEdit", {700, 358}},
            {"BG_GlobalCcmapEdit", {700, 358}},
            {"BG_MainToolBar", {700, 87}},
            {"ButtonDownSmall", {16, 30}},
            {"ButtonUpSmall", {16, 30}},
            {"ButtonSampleTap", {48, 78}},
            {"ButtonTabGlobalExtCtrl", {140, 78}},
            {"ButtonTabGlobalGlobal", {140, 78}},
            {"ButtonTabGlobalCcmap", {140, 78}},
            {"ButtonTabModeSampleLibrarian", {150, 90}},
            {"ButtonTabModeProgramMemory", {150, 90}},
            {"ButtonTabModeGlobal", {150, 90}},
            {"ButtonCheckBox", {16, 48}},
            {"ButtonCcNumber", {64, 72}},
            {"ButtonCcNumberPad", {100, 72}},
            {"BitmapListPadPattern", {96, 512}},
            {"VuMeterHorizontal", {256, 16}},
            {"TrebuchetMS12P", {11, 1536}},
            {"TrebuchetMS13P", {12, 1664}},
            {"TrebuchetMS12with7Seg", {11, 1536}},
            {"WaveGraphImage", {4, 200}},
            {"ButtonNo", {14, 60}},
        };
        for (const char* letter : {"A", "B", "C", "D"}) {
            s[std::string("ButtonBankSelect") + letter] = {56, 108};
        }
        for (const char* area : {"Program", "Global"}) {
            for (const char* action : {"Receive", "Transmit", "Load", "Save"}) {
                s[std::string("Button") + area + action] = {84, 78};
            }
        }
        for (const char* action : {"Export", "Import", "Preview", "Receive", "Write"}) {
            s[std::string("ButtonSample") + action] = {84, 78};
        }
        for (int i = 1; i <= 8; ++i) {
            s["ButtonMemory" + std::to_string(i)] = {40, 120};
        }
        for (const char* action : {"Open", "Save", "Receive", "Transmit"}) {
            s[std::string("ButtonAll") + action] = {56, 132};
        }
        return s;
    }();
    return sizes;
}

class ResourceManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        while (CTarnResourceManager::RefCount() > 0) {
            CTarnResourceManager::Release();
        }
        CTarnResourceManager::SetPreferredScale(1);
    }
};

TEST_F(ResourceManagerTest, TableHoldsTheFiftySevenNamesInOrder) {
    const auto& names = CTarnResourceManager::ImageNames();
    EXPECT_STREQ(names.front(), "BG_About");
    EXPECT_STREQ(names[8], "BG_MainToolBar");
    EXPECT_STREQ(names[9], "ButtonBankSelectA");
    EXPECT_STREQ(names[35], "ButtonMemory1");
    EXPECT_STREQ(names.back(), "ButtonNo");
    std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), CTarnResourceManager::kImageCount);
    for (const char* name : names) {
        EXPECT_LT(std::string(name).size(), CTarnResourceManager::kNameFieldSize);
        EXPECT_EQ(ExpectedSizes().count(name), 1u) << name;
    }
    EXPECT_EQ(ExpectedSizes().size(), CTarnResourceManager::kImageCount);
}

TEST_F(ResourceManagerTest, EveryPictureDecodesAtBothScalesWithItsSize) {
    for (int scale : {1, 2}) {
        CTarnResourceManager::SetPreferredScale(scale);
        CTarnResourceManager* manager = CTarnResourceManager::Acquire();
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(manager->Scale(), scale);
        for (const char* name : CTarnResourceManager::ImageNames()) {
            const CEfImage* image = manager->GetImage(name);
            ASSERT_NE(image, nullptr) << name;
            const LayoutSize expected = ExpectedSizes().at(name);
            EXPECT_EQ(image->scale, scale) << name;
            EXPECT_EQ(image->width, expected.width * scale) << name;
            EXPECT_EQ(image->height, expected.height * scale) << name;
            EXPECT_EQ(image->LayoutWidth(), expected.width) << name;
            EXPECT_EQ(image->LayoutHeight(), expected.height) << name;
            ASSERT_EQ(image->pixels.size(), static_cast<size_t>(image->width) * image->height);
            // Cached: the same picture on the next request.
            EXPECT_EQ(manager->GetImage(name), image);
        }
        CTarnResourceManager::Release();
    }
}

TEST_F(ResourceManagerTest, ButtonStripsSplitIntoWholeStates) {
    for (const auto& [name, size] : ExpectedSizes()) {
        if (name.rfind("Button", 0) == 0) {
            EXPECT_EQ(size.height % 3, 0) << name;
        }
    }
    EXPECT_EQ(ExpectedSizes().at("ButtonMemory1").height, 120);
    EXPECT_EQ(ExpectedSizes().at("VuMeterHorizontal").height % 2, 0);
    EXPECT_EQ(ExpectedSizes().at("BitmapListPadPattern").height % 8, 0);
}

TEST_F(ResourceManagerTest, BackgroundsAreOpaqueAndButtonsShowThreeDifferentStates) {
    CTarnResourceManager* manager = CTarnResourceManager::Acquire();
    ASSERT_NE(manager, nullptr);
    for (const char* name : CTarnResourceManager::ImageNames()) {
        const std::string text(name);
        const CEfImage* image = manager->GetImage(name);
        ASSERT_NE(image, nullptr);
        if (text.rfind("BG_", 0) == 0) {
            for (uint32_t pixel : image->pixels) {
                ASSERT_EQ(pixel >> 24, 0xFFu) << name;
            }
        }
        if (text.rfind("Button", 0) == 0) {
            const size_t stateSize = image->pixels.size() / 3;
            const auto state = [&](int i) {
                return std::vector<uint32_t>(image->pixels.begin() + i * stateSize,
                                             image->pixels.begin() + (i + 1) * stateSize);
            };
            EXPECT_NE(state(0), state(1)) << name;
            EXPECT_NE(state(0), state(2)) << name;
            EXPECT_NE(state(1), state(2)) << name;
        }
    }
}

TEST_F(ResourceManagerTest, UnknownNameGivesNothingWithATrace) {
    CTarnResourceManager* manager = CTarnResourceManager::Acquire();
    ASSERT_NE(manager, nullptr);
    RecordingTraceSink trace;
    EXPECT_EQ(manager->GetImage("ButtonMemory9"), nullptr);
    EXPECT_TRUE(trace.Contains("Failed to get bitmap (ButtonMemory9)"));
}

TEST_F(ResourceManagerTest, AcquireCountsAndReleaseDestroysAtZero) {
    CTarnResourceManager* first = CTarnResourceManager::Acquire();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CTarnResourceManager::Acquire(), first);
    EXPECT_EQ(CTarnResourceManager::RefCount(), 2);
    CTarnResourceManager::Release();
    EXPECT_EQ(CTarnResourceManager::Instance(), first);
    CTarnResourceManager::Release();
    EXPECT_EQ(CTarnResourceManager::Instance(), nullptr);
    EXPECT_EQ(CTarnResourceManager::RefCount(), 0);
}

TEST_F(ResourceManagerTest, ScaleChosenForTheNextCreationOnly) {
    CTarnResourceManager* manager = CTarnResourceManager::Acquire();
    ASSERT_NE(manager, nullptr);
    CTarnResourceManager::SetPreferredScale(2);
    EXPECT_EQ(CTarnResourceManager::Acquire()->Scale(), 1);
    CTarnResourceManager::Release();
    CTarnResourceManager::Release();
    EXPECT_EQ(CTarnResourceManager::Acquire()->Scale(), 2);
}

TEST_F(ResourceManagerTest, NoPicturesLinkedFailsCreationAndLeavesTheSingletonEmpty) {
    static std::vector<std::string> fileNames;
    static std::vector<CEfEmbeddedFile> hidden;
    if (hidden.empty()) {
        for (const char* name : CTarnResourceManager::ImageNames()) {
            fileNames.push_back(std::string(name) + ".png");
        }
        for (const std::string& file : fileNames) {
            hidden.push_back({file.c_str(), nullptr, 0});
        }
    }
    CEfEmbeddedFiles::Register(hidden.data(), hidden.size());
    EXPECT_EQ(CTarnResourceManager::Acquire(), nullptr);
    EXPECT_EQ(CTarnResourceManager::Instance(), nullptr);
    EXPECT_EQ(CTarnResourceManager::RefCount(), 0);
    CEfEmbeddedFiles::Remove(hidden.data());
    EXPECT_NE(CTarnResourceManager::Acquire(), nullptr);
    EXPECT_EQ(CTarnResourceManager::RefCount(), 1);
}

TEST_F(ResourceManagerTest, DamagedPictureGivesNothingAndIsNotRetried) {
    const CEfEmbeddedFile* good = CEfEmbeddedFiles::Find("ButtonNo.png");
    ASSERT_NE(good, nullptr);
    static std::vector<uint8_t> truncated;
    truncated.assign(good->data, good->data + good->size / 2);
    // The 1x picture cut in half, the 2x one hidden.
    static CEfEmbeddedFile table[2];
    table[0] = {"ButtonNo.png", truncated.data(), truncated.size()};
    table[1] = {"ButtonNo@2x.png", nullptr, 0};
    CEfEmbeddedFiles::Register(table, 2);
    CTarnResourceManager::SetPreferredScale(2);
    CTarnResourceManager* manager = CTarnResourceManager::Acquire();
    ASSERT_NE(manager, nullptr);
    RecordingTraceSink trace;
    EXPECT_EQ(manager->GetImage("ButtonNo"), nullptr);
    EXPECT_TRUE(trace.Contains("Failed to get bitmap (ButtonNo)"));
    EXPECT_EQ(manager->GetImage("ButtonNo"), nullptr);
    EXPECT_NE(manager->GetImage("ButtonCheckBox"), nullptr);
    CEfEmbeddedFiles::Remove(table);
}

TEST_F(ResourceManagerTest, MissingTwoTimesPictureFallsBackToTheOneTimesPicture) {
    static const CEfEmbeddedFile hidden[] = {{"ButtonCheckBox@2x.png", nullptr, 0}};
    CEfEmbeddedFiles::Register(hidden, 1);
    CTarnResourceManager::SetPreferredScale(2);
    CTarnResourceManager* manager = CTarnResourceManager::Acquire();
    ASSERT_NE(manager, nullptr);
    const CEfImage* image = manager->GetImage("ButtonCheckBox");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->scale, 1);
    EXPECT_EQ(image->LayoutWidth(), 16);
    EXPECT_EQ(image->LayoutHeight(), 48);
    CEfEmbeddedFiles::Remove(hidden);
}

TEST_F(ResourceManagerTest, ConcurrentFirstRequestsDecodeOnce) {
    CTarnResourceManager* manager = CTarnResourceManager::Acquire();
    ASSERT_NE(manager, nullptr);
    std::vector<const CEfImage*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&, i] { seen[i] = manager->GetImage("BG_SampleLibrarian"); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const CEfImage* image : seen) {
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image, seen.front());
    }
}

TEST(PngDecoder, DamagedDataGivesFalseAndLeavesThePictureUntouched) {
    const CEfEmbeddedFile* file = CEfEmbeddedFiles::Find("ButtonMemory1.png");
    ASSERT_NE(file, nullptr);
    CEfImage image;
    ASSERT_TRUE(EfDecodePng(file->data, file->size, 1, image));
    EXPECT_EQ(image.width, 40);
    EXPECT_EQ(image.height, 120);
    const CEfImage before = image;

    std::vector<uint8_t> bytes(file->data, file->data + file->size);
    const std::vector<std::vector<uint8_t>> damaged = {
        {},
        {0x89, 'P', 'N', 'G'},
        std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2),
        std::vector<uint8_t>(bytes.begin(), bytes.begin() + 33), // header only
        std::vector<uint8_t>(1000, 0xAB),
    };
    for (const auto& data : damaged) {
        EXPECT_FALSE(EfDecodePng(data.data(), data.size(), 1, image));
    }
    // Flipped bytes inside the compressed data fail the checksum or the inflate.
    std::vector<uint8_t> flipped = bytes;
    for (size_t i = 60; i < flipped.size() - 20; i += 7) {
        flipped[i] ^= 0x5A;
    }
    EXPECT_FALSE(EfDecodePng(flipped.data(), flipped.size(), 1, image));
    EXPECT_FALSE(EfDecodePng(nullptr, 100, 1, image));
    EXPECT_EQ(image.pixels, before.pixels);
    EXPECT_EQ(image.width, before.width);
}

TEST(PngDecoder, OversizedHeaderIsRefusedBeforeAllocating) {
    // A valid signature and IHDR claiming 100000 x 100000 pixels.
    const CEfEmbeddedFile* file = CEfEmbeddedFiles::Find("ButtonMemory1.png");
    ASSERT_NE(file, nullptr);
    std::vector<uint8_t> bytes(file->data, file->data + file->size);
    const uint32_t side = 100000;
    for (int i = 0; i < 2; ++i) {
        bytes[16 + i * 4] = static_cast<uint8_t>(side >> 24);
        bytes[17 + i * 4] = static_cast<uint8_t>(side >> 16);
        bytes[18 + i * 4] = static_cast<uint8_t>(side >> 8);
        bytes[19 + i * 4] = static_cast<uint8_t>(side);
    }
    CEfImage image;
    EXPECT_FALSE(EfDecodePng(bytes.data(), bytes.size(), 1, image));
    EXPECT_TRUE(image.pixels.empty());
}

TEST(PngDecoder, PixelsAreStraightArgb) {
    CTarnResourceManager::SetPreferredScale(1);
    CTarnResourceManager* manager = CTarnResourceManager::Acquire();
    ASSERT_NE(manager, nullptr);
    // The check box's normal state has transparent corners and an opaque dark middle.
    const CEfImage* box = manager->GetImage("ButtonCheckBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->pixels[0] >> 24, 0u);
    const uint32_t middle = box->pixels[8 * box->width + 8];
    EXPECT_EQ(middle >> 24, 0xFFu);
    // The checked state's middle is the amber accent: red above blue.
    const uint32_t checked = box->pixels[(16 + 3) * box->width + 12];
    EXPECT_GT((checked >> 16) & 0xFF, checked & 0xFF);
    CTarnResourceManager::Release();
}

TEST(ClipboardTypeManager, ThreeFormatsAndUnknownNames) {
    CTarnClipboardTypeManager* manager = CTarnClipboardTypeManager::Acquire();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(CTarnClipboardTypeManager::Acquire(), manager);
    EXPECT_EQ(CTarnClipboardTypeManager::RefCount(), 2);
    std::set<int> ids;
    std::set<std::string> mimeTypes;
    for (const char* name : {"SampleData", "ProgramMemory", "ExtCtrlData"}) {
        const int id = manager->GetClipboardType(name);
        EXPECT_GE(id, 0);
        ids.insert(id);
        EXPECT_EQ(manager->GetFormatName(name), std::string("TALVEX PRO+ -") + name);
        const std::string mime = manager->GetMimeType(name);
        EXPECT_EQ(mime.rfind("application/x-", 0), 0u) << mime;
        mimeTypes.insert(mime);
    }
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(mimeTypes.size(), 3u);
    RecordingTraceSink trace;
    EXPECT_EQ(manager->GetClipboardType("GlobalData"), -1);
    EXPECT_TRUE(trace.Contains("Failed to get clipboard type (GlobalData)"));
    EXPECT_EQ(manager->GetFormatName("GlobalData"), "");
    EXPECT_EQ(manager->GetMimeType("GlobalData"), "");
    CTarnClipboardTypeManager::Release();
    CTarnClipboardTypeManager::Release();
    EXPECT_EQ(CTarnClipboardTypeManager::Instance(), nullptr);
    EXPECT_EQ(CTarnClipboardTypeManager::RefCount(), 0);
}

} // namespace
