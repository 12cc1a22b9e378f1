#pragma once

#include "ui/framework/CEfResourceResolver.h"

// Resolves names through the editor's resource singletons (pictures, fonts, string table,
// clipboard formats) as far as they have been acquired; what is not there resolves to nothing.
// This is what layers use when no other resolver is installed.
class CTarnManagerResolver : public CEfResourceResolver {
public:
    const CEfImage* GetImage(const std::string& name) override;
    const CEfFontInfo* GetFontInfo(const std::string& name) override;
    int GetStringCount(const std::string& keyword) override;
    const std::string* GetString(const std::string& keyword, int index) override;
    std::string GetMimeType(const std::string& shortName) override;
};
