#include "app/CTarnFontManager.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "app/CTarnResourceManager.h"
#include "framework/CEfEmbeddedFiles.h"
#include "framework/CEfImage.h"
#include "framework/CEfSingletonSlot.h"
#include "framework/EfTrace.h"

namespace {

// Never destroyed: a singleton still held at exit must not outlive the slots it releases.
CEfSingletonSlot<CTarnFontManager>& Slot() {
    static auto* slot = new CEfSingletonSlot<CTarnFontManager>();
    return *slot;
}

struct CFontSource {
    const char* fontName;
    const char* imageName;
};

constexpr CFontSource kFonts[] = {
    {"TrebuchetMS12P", "TrebuchetMS12P"},
    {"TrebuchetMS13P", "TrebuchetMS13P"},
    {"TrebuchetMS12w7", "TrebuchetMS12with7Seg"},
};

constexpr int kGlyphCount = 128;
constexpr int kMaxMetric = 64;

// The font table "<picture>.font": whitespace-separated decimal numbers, the line height, the
// glyph height and the 128 advance widths; '#' starts a comment running to the line end.
bool ParseFontTable(std::string_view text, CEfFontInfo& font) {
    std::vector<int> numbers;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '#') {
            while (i < text.size() && text[i] != '\n') {
                ++i;
            }
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            int value = 0;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
                value = value * 10 + (text[i] - '0');
                if (value > kMaxMetric) {
                    return false;
                }
                ++i;
            }
            numbers.push_back(value);
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else {
            return false;
        }
    }
    if (numbers.size() != 2 + kGlyphCount || numbers[0] == 0 || numbers[1] == 0 ||
        numbers[1] > numbers[0]) {
        return false;
    }
    font.lineHeight = numbers[0];
    font.glyphHeight = numbers[1];
    for (int c = 0; c < kGlyphCount; ++c) {
        font.widths[c] = numbers[2 + c];
        font.widths[c + kGlyphCount] = numbers[2 + c];
    }
    return true;
}

} // namespace

CTarnFontManager* CTarnFontManager::Acquire() {
    return Slot().Acquire([]() -> std::unique_ptr<CTarnFontManager> {
        std::unique_ptr<CTarnFontManager> manager(new CTarnFontManager());
        if (!manager->Initialize()) {
            return nullptr;
        }
        return manager;
    });
}

void CTarnFontManager::Release() {
    Slot().Release();
}

CTarnFontManager* CTarnFontManager::Instance() {
    return Slot().Instance();
}

int CTarnFontManager::RefCount() {
    return Slot().RefCount();
}

CTarnFontManager::~CTarnFontManager() {
    if (holdsResources_) {
        CTarnResourceManager::Release();
    }
}

bool CTarnFontManager::Initialize() {
    // The glyph pictures belong to the resource manager, which therefore lives at least as long.
    CTarnResourceManager* resources = CTarnResourceManager::Acquire();
    if (!resources) {
        EfTrace("CTarnFontManager::Create - Failed to get the resource manager.");
        return false;
    }
    holdsResources_ = true;
    for (const CFontSource& source : kFonts) {
        CEfFontInfo font;
        font.image = resources->GetImage(source.imageName);
        const std::string tableName = std::string(source.imageName) + ".font";
        const CEfEmbeddedFile* table = CEfEmbeddedFiles::Find(tableName);
        if (!font.image || !table ||
            !ParseFontTable(
                std::string_view(reinterpret_cast<const char*>(table->data), table->size), font)) {
            EfTrace("CTarnFontManager::Create - Failed to load font (%s)", source.fontName);
            return false;
        }
        int widest = 0;
        for (int c = 0; c < kGlyphCount; ++c) {
            widest = std::max(widest, font.widths[c]);
        }
        if (font.image->LayoutHeight() < kGlyphCount * font.lineHeight ||
            font.image->LayoutWidth() < widest) {
            EfTrace("CTarnFontManager::Create - Glyph picture too small (%s)", source.fontName);
            return false;
        }
        fonts_.emplace(source.fontName, font);
    }
    return true;
}

const CEfFontInfo* CTarnFontManager::GetFontInfo(const std::string& name) const {
    auto found = fonts_.find(name);
    if (found == fonts_.end()) {
        EfTrace("Failed to get bmp font info (%s)", name.c_str());
        return nullptr;
    }
    return &found->second;
}

int CTarnFontManager::TextWidth(const CEfFontInfo& font, const std::string& text) {
    int width = 0;
    for (char c : text) {
        width += font.Advance(c);
    }
    return width;
}
