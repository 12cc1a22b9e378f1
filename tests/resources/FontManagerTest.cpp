// The three bitmap fonts: fixed widths, repeated upper half, glyph cells and the singleton.
#include <gtest/gtest.h>

#include <string>

#include "app/CTarnFontManager.h"
#include "app/CTarnResourceManager.h"
#include "framework/CEfEmbeddedFiles.h"
#include "framework/CEfImage.h"
#include "support/RecordingTraceSink.h"

namespace {

class FontManagerTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { CTarnResourceManager::SetPreferredScale(GetParam()); }
    void TearDown() override {
        while (CTarnFontManager::RefCount() > 0) {
            CTarnFontManager::Release();
        }
        while (CTarnResourceManager::RefCount() > 0) {
            CTarnResourceManager::Release();
        }
        CTarnResourceManager::SetPreferredScale(1);
    }
};

uint32_t Alpha(const CEfImage& image, int x, int y) {
    return image.pixels[static_cast<size_t>(y) * image.width + x] >> 24;
}

TEST_P(FontManagerTest, ThreeFontsWithTheirFixedWidths) {
    CTarnFontManager* fonts = CTarnFontManager::Acquire();
    ASSERT_NE(fonts, nullptr);
    const CEfFontInfo* p12 = fonts->GetFontInfo("TrebuchetMS12P");
    const CEfFontInfo* p13 = fonts->GetFontInfo("TrebuchetMS13P");
    const CEfFontInfo* seg = fonts->GetFontInfo("TrebuchetMS12w7");
    ASSERT_TRUE(p12 && p13 && seg);
    EXPECT_EQ(p12->lineHeight, 12);
    EXPECT_EQ(p12->glyphHeight, 12);
    EXPECT_EQ(p13->lineHeight, 13);
    EXPECT_EQ(p13->glyphHeight, 13);
    EXPECT_EQ(seg->lineHeight, 12);
    EXPECT_EQ(seg->glyphHeight, 12);
    EXPECT_EQ(p12->image->LayoutWidth(), 11);
    EXPECT_EQ(p13->image->LayoutWidth(), 12);
    EXPECT_EQ(seg->image->LayoutWidth(), 11);
    for (const CEfFontInfo* font : {p12, p13, seg}) {
        EXPECT_EQ(font->Advance(' '), 4);
        EXPECT_EQ(font->image->scale, GetParam());
        EXPECT_EQ(font->image->LayoutHeight(), 128 * font->lineHeight);
    }
    const int symbols[] = {8, 9, 8, 9, 7, 9, 5};
    for (int c = 0; c < 32; ++c) {
        EXPECT_EQ(p12->widths[c], 11) << c;
        EXPECT_EQ(seg->widths[c], 11) << c;
        EXPECT_EQ(p13->widths[c], c >= 16 && c <= 22 ? symbols[c - 16] : 12) << c;
    }
    for (int c = 32; c < 128; ++c) {
        if (c >= '0' && c <= '9') {
            EXPECT_EQ(seg->widths[c], 8) << c;
        } else {
            EXPECT_EQ(seg->widths[c], p12->widths[c]) << c;
        }
    }
    // Proportional: a narrow and a wide letter differ.
    EXPECT_LT(p12->Advance('i'), p12->Advance('W'));
    EXPECT_LT(p13->Advance('l'), p13->Advance('M'));
}

TEST_P(FontManagerTest, UpperHalfRepeatsTheLowerHalf) {
    CTarnFontManager* fonts = CTarnFontManager::Acquire();
    ASSERT_NE(fonts, nullptr);
    for (const char* name : {"TrebuchetMS12P", "TrebuchetMS13P", "TrebuchetMS12w7"}) {
        const CEfFontInfo* font = fonts->GetFontInfo(name);
        ASSERT_NE(font, nullptr);
        for (int c = 0; c < 128; ++c) {
            EXPECT_EQ(font->widths[c + 128], font->widths[c]) << name << " " << c;
        }
        // A character read as signed gives the same width.
        EXPECT_EQ(font->Advance(static_cast<char>(0xC1)), font->widths[0x41]);
    }
}

TEST_P(FontManagerTest, GlyphsStayInsideTheirCells) {
    CTarnFontManager* fonts = CTarnFontManager::Acquire();
    ASSERT_NE(fonts, nullptr);
    for (const char* name : {"TrebuchetMS12P", "TrebuchetMS13P", "TrebuchetMS12w7"}) {
        const CEfFontInfo* font = fonts->GetFontInfo(name);
        ASSERT_NE(font, nullptr);
        const CEfImage& image = *font->image;
        const int s = image.scale;
        for (int c = 0; c < 128; ++c) {
            int ink = 0;
            for (int y = c * font->lineHeight * s; y < (c + 1) * font->lineHeight * s; ++y) {
                for (int x = 0; x < image.width; ++x) {
                    const uint32_t pixel = image.pixels[static_cast<size_t>(y) * image.width + x];
                    if (pixel >> 24 == 0) {
                        continue;
                    }
                    ++ink;
                    // Nothing beyond the advance width, so neighbours never overlap.
                    ASSERT_LT(x, font->widths[c] * s) << name << " code " << c;
                    // Light glyphs, tinted by whoever draws them.
                    ASSERT_GE((pixel >> 16) & 0xFF, 0xE0u) << name << " code " << c;
                }
            }
            const bool printable = c > 32 && c < 127;
            const bool symbol = std::string(name) == "TrebuchetMS13P" && c >= 16 && c <= 22;
            if (printable || symbol) {
                EXPECT_GT(ink, 0) << name << " code " << c;
            } else {
                EXPECT_EQ(ink, 0) << name << " code " << c;
            }
        }
    }
}

TEST_P(FontManagerTest, SevenSegmentDigitsHaveSegments) {
    CTarnFontManager* fonts = CTarnFontManager::Acquire();
    ASSERT_NE(fonts, nullptr);
    const CEfFontInfo* seg = fonts->GetFontInfo("TrebuchetMS12w7");
    ASSERT_NE(seg, nullptr);
    const CEfImage& image = *seg->image;
    const int s = image.scale;
    // '8' lights the middle bar, '0' does not; the top bar is lit in both.
    auto lit = [&](char digit, int x, int y) {
        return Alpha(image, x * s, (digit * seg->lineHeight + y) * s) > 0x80;
    };
    EXPECT_TRUE(lit('8', 3, 5));
    EXPECT_FALSE(lit('0', 3, 5));
    EXPECT_TRUE(lit('8', 3, 1));
    EXPECT_TRUE(lit('0', 3, 1));
    EXPECT_FALSE(lit('1', 3, 1));
}

TEST_P(FontManagerTest, TextWidthSumsTheAdvances) {
    CTarnFontManager* fonts = CTarnFontManager::Acquire();
    ASSERT_NE(fonts, nullptr);
    const CEfFontInfo* seg = fonts->GetFontInfo("TrebuchetMS12w7");
    ASSERT_NE(seg, nullptr);
    EXPECT_EQ(CTarnFontManager::TextWidth(*seg, "120 0"), 8 * 4 + 4);
    EXPECT_EQ(CTarnFontManager::TextWidth(*seg, ""), 0);
}

TEST_P(FontManagerTest, UnknownFontGivesNothingWithATrace) {
    CTarnFontManager* fonts = CTarnFontManager::Acquire();
    ASSERT_NE(fonts, nullptr);
    RecordingTraceSink trace;
    EXPECT_EQ(fonts->GetFontInfo("TrebuchetMS12with7Seg"), nullptr);
    EXPECT_TRUE(trace.Contains("Failed to get bmp font info (TrebuchetMS12with7Seg)"));
}

TEST_P(FontManagerTest, HoldsTheResourceManagerWhileItLives) {
    CTarnFontManager* fonts = CTarnFontManager::Acquire();
    ASSERT_NE(fonts, nullptr);
    EXPECT_EQ(CTarnFontManager::Acquire(), fonts);
    EXPECT_EQ(CTarnFontManager::RefCount(), 2);
    EXPECT_EQ(CTarnResourceManager::RefCount(), 1);
    CTarnFontManager::Release();
    EXPECT_EQ(CTarnResourceManager::RefCount(), 1);
    CTarnFontManager::Release();
    EXPECT_EQ(CTarnFontManager::Instance(), nullptr);
    EXPECT_EQ(CTarnResourceManager::RefCount(), 0);
}

TEST_P(FontManagerTest, MissingOrDamagedFontFailsCreationAndReleasesTheResources) {
    static const uint8_t badTable[] = "13 13 4 4 4";
    static const CEfEmbeddedFile damaged[] = {{"TrebuchetMS13P.font", badTable, 11}};
    static const CEfEmbeddedFile missingTable[] = {{"TrebuchetMS12P.font", nullptr, 0}};
    static const CEfEmbeddedFile missingPicture[] = {{"TrebuchetMS12with7Seg.png", nullptr, 0},
                                                     {"TrebuchetMS12with7Seg@2x.png", nullptr, 0}};
    const std::pair<const CEfEmbeddedFile*, size_t> cases[] = {
        {damaged, 1}, {missingTable, 1}, {missingPicture, 2}};
    for (const auto& [table, count] : cases) {
        CEfEmbeddedFiles::Register(table, count);
        EXPECT_EQ(CTarnFontManager::Acquire(), nullptr) << table->name;
        EXPECT_EQ(CTarnFontManager::Instance(), nullptr);
        EXPECT_EQ(CTarnFontManager::RefCount(), 0);
        EXPECT_EQ(CTarnResourceManager::RefCount(), 0) << table->name;
        CEfEmbeddedFiles::Remove(table);
    }
    EXPECT_NE(CTarnFontManager::Acquire(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Scales, FontManagerTest, ::testing::Values(1, 2));

} // namespace
