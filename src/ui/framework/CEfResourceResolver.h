#pragma once

#include <string>

struct CEfFontInfo;
struct CEfImage;

// Where layers look up the pictures, fonts, list texts and drag formats named in their
// description tables. The editor installs one over its resource singletons at start-up
// (CTarnManagerResolver); tests install one over pictures made in memory.
class CEfResourceResolver {
public:
    virtual ~CEfResourceResolver() = default;

    // Null when the name is unknown.
    virtual const CEfImage* GetImage(const std::string& name) = 0;
    virtual const CEfFontInfo* GetFontInfo(const std::string& name) = 0;
    // The number of texts under a list keyword (0 when absent) and the text at an index (null
    // when absent).
    virtual int GetStringCount(const std::string& keyword) = 0;
    virtual const std::string* GetString(const std::string& keyword, int index) = 0;
    // The MIME type a clipboard format ("SampleData") travels under, or empty.
    virtual std::string GetMimeType(const std::string& shortName) = 0;

    // The resolver layers use unless they are given their own; null until one is installed.
    // The caller keeps ownership.
    static CEfResourceResolver* Default();
    static void SetDefault(CEfResourceResolver* resolver);
};
