#pragma once

#include <QColor>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/CEfFontInfo.h"
#include "framework/CEfImage.h"
#include "ui/framework/CEfResourceResolver.h"

// Pictures, fonts and lists made in memory, at 1x or 2x, under the editor's names, installed as
// the default resolver for its lifetime.
class TestResources : public CEfResourceResolver {
public:
    // State colours of the button strips: state s of every strip is kStateColors[s].
    static constexpr uint32_t kStateColors[3] = {0xff204060, 0xff40c080, 0xff505050};

    explicit TestResources(int scale = 1) : scale_(scale) {
        AddStrip("ButtonMemory1", 40, 40, 3);
        AddStrip("ButtonAllOpen", 50, 30, 3);
        AddStrip("ButtonUpSmall", 12, 8, 3);
        AddStrip("ButtonDownSmall", 12, 8, 3);
        AddStrip("ButtonNo", 10, 16, 3);
        AddStrip("ButtonCheckBox", 14, 14, 3);
        AddStrip("BitmapListPadPattern", 60, 30, 8);
        AddStrip("VuMeterHorizontal", 100, 6, 2);
        AddStrip("WaveGraphImage", 1, 40, 1);
        AddStrip("BG_Test", 700, 439, 1);
        AddFont("TrebuchetMS12P", 12);
        AddFont("TrebuchetMS13P", 13);
        lists_["ScaleList"] = {"[00] OFF", "[01] CHR", "[02] MAJ", "[03] MIN"};
        lists_["AllScaleList"] = {"[00] Off", "[01] Chromatic", "[02] Major", "[03] Minor"};
        lists_["Empty"] = {};
        SetDefault(this);
    }
    ~TestResources() override { SetDefault(nullptr); }
    TestResources(const TestResources&) = delete;
    TestResources& operator=(const TestResources&) = delete;

    // A strip of `states` pictures of w x h layout pixels; state s is filled with
    // kStateColors[s % 3], except that 2x pictures carry a one-device-pixel checker of
    // black in their first state's top-left 4 x 4 device pixels (to see crisp copies).
    void AddStrip(const std::string& name, int w, int h, int states) {
        auto image = std::make_unique<CEfImage>();
        image->scale = scale_;
        image->width = w * scale_;
        image->height = h * states * scale_;
        image->pixels.resize(static_cast<size_t>(image->width) * image->height);
        for (int y = 0; y < image->height; ++y) {
            const int state = y / (h * scale_);
            for (int x = 0; x < image->width; ++x) {
                uint32_t color = kStateColors[state % 3];
                if (scale_ == 2 && state == 0 && x < 4 && y < 4 && ((x + y) % 2) == 1) {
                    color = 0xff000000;
                }
                image->pixels[static_cast<size_t>(y) * image->width + x] = color;
            }
        }
        images_[name] = std::move(image);
    }

    // 128 cells of `lineHeight`; every printable glyph is 5 wide and a solid white block of
    // 4 x (lineHeight - 4) at the cell's top-left + (0, 2); space is 4 wide and empty.
    void AddFont(const std::string& name, int lineHeight) {
        auto image = std::make_unique<CEfImage>();
        image->scale = scale_;
        image->width = 11 * scale_;
        image->height = 128 * lineHeight * scale_;
        image->pixels.assign(static_cast<size_t>(image->width) * image->height, 0);
        auto font = std::make_unique<CEfFontInfo>();
        for (int c = 0; c < 256; ++c) {
            const int code = c & 0x7f;
            font->widths[static_cast<size_t>(c)] = code == ' ' ? 4 : (code < 32 ? 11 : 5);
        }
        for (int c = 33; c < 127; ++c) {
            for (int y = 2 * scale_; y < (lineHeight - 2) * scale_; ++y) {
                for (int x = 0; x < 4 * scale_; ++x) {
                    image->pixels[static_cast<size_t>(c * lineHeight * scale_ + y) * image->width +
                                  x] = 0xffffffff;
                }
            }
        }
        font->image = image.get();
        font->lineHeight = lineHeight;
        font->glyphHeight = lineHeight;
        images_["font:" + name] = std::move(image);
        fonts_[name] = std::move(font);
    }

    void SetList(const std::string& keyword, std::vector<std::string> texts) {
        lists_[keyword] = std::move(texts);
    }

    const CEfImage* GetImage(const std::string& name) override {
        auto it = images_.find(name);
        return it != images_.end() ? it->second.get() : nullptr;
    }
    const CEfFontInfo* GetFontInfo(const std::string& name) override {
        auto it = fonts_.find(name);
        return it != fonts_.end() ? it->second.get() : nullptr;
    }
    int GetStringCount(const std::string& keyword) override {
        auto it = lists_.find(keyword);
        return it != lists_.end() ? static_cast<int>(it->second.size()) : 0;
    }
    const std::string* GetString(const std::string& keyword, int index) override {
        auto it = lists_.find(keyword);
        if (it == lists_.end() || index < 0 || index >= static_cast<int>(it->second.size())) {
            return nullptr;
        }
        return &it->second[static_cast<size_t>(index)];
    }
    std::string GetMimeType(const std::string& shortName) override {
        if (shortName != "SampleData" && shortName != "ProgramMemory" &&
            shortName != "ExtCtrlData") {
            return {};
        }
        return "application/x-talvex-test-" + shortName;
    }

private:
    int scale_;
    std::map<std::string, std::unique_ptr<CEfImage>> images_;
    std::map<std::string, std::unique_ptr<CEfFontInfo>> fonts_;
    std::map<std::string, std::vector<std::string>> lists_;
};
