#pragma once

#include <map>
#include <string>

#include "framework/CEfFontInfo.h"

// The three bitmap fonts "TrebuchetMS12P", "TrebuchetMS13P" and "TrebuchetMS12w7" (the last
// drawn from the image "TrebuchetMS12with7Seg"), over the resource manager's pictures.
// Reference-counted singleton like CTarnResourceManager; its creation acquires the resource
// manager (held until the font manager is destroyed) and fails when a font's picture or table
// ("<picture>.font") is missing or damaged.
class CTarnFontManager {
public:
    static CTarnFontManager* Acquire();
    static void Release();
    static CTarnFontManager* Instance();
    static int RefCount();

    // The font record or null (trace "Failed to get bmp font info (%s)").
    const CEfFontInfo* GetFontInfo(const std::string& name) const;

    // Width in layout pixels of text drawn in the font.
    static int TextWidth(const CEfFontInfo& font, const std::string& text);

    ~CTarnFontManager();
    CTarnFontManager(const CTarnFontManager&) = delete;
    CTarnFontManager& operator=(const CTarnFontManager&) = delete;

private:
    CTarnFontManager() = default;
    bool Initialize();

    std::map<std::string, CEfFontInfo> fonts_;
    // Set once Initialize has acquired the resource manager, which the destructor releases.
    bool holdsResources_ = false;
};
