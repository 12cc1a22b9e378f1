#pragma once

#include <map>
#include <string>

// The editor's three private clipboard and drag formats: "SampleData", "ProgramMemory" and
// "ExtCtrlData", registered as "TALVEX PRO+ -SampleData" and so on. Reference-counted
// singleton like CTarnResourceManager.
class CTarnClipboardTypeManager {
public:
    static CTarnClipboardTypeManager* Acquire();
    static void Release();
    static CTarnClipboardTypeManager* Instance();
    static int RefCount();

    // The format identifier, or -1 (trace "Failed to get clipboard type (%s)").
    int GetClipboardType(const std::string& shortName) const;
    // The registered format name ("TALVEX PRO+ -ProgramMemory"), or empty.
    std::string GetFormatName(const std::string& shortName) const;
    // The MIME type the format travels under on this desktop, or empty.
    std::string GetMimeType(const std::string& shortName) const;

private:
    CTarnClipboardTypeManager() = default;
    bool Initialize();

    std::map<std::string, int> types_;
};
