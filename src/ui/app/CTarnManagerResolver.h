#pragma once

#include "ui/framework/CEfResourceResolver.h"

// The resolver the editor's layers use: pictures, fonts, list texts and drag formats from the
// resource singletons the host acquired (nothing while a singleton is missing).
class CTarnManagerResolver : public CEfResourceResolver {
public:
    const CEfImage* GetImage(const std::string& name) override;
    const CEfFontInfo* GetFontInfo(const std::string& name) override;
    int GetStringCount(const std::string& keyword) override;
    const std::string* GetString(const std::string& keyword, int index) override;
    std::string GetMimeType(const std::string& shortName) override;
};
