#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The texts of the pages' lists and name tables, read from the string-resource text file:
// keyword -> texts in file order, in two language slots (0 English, 1 Japanese).
// Reference-counted singleton like CTarnResourceManager; its creation loads the embedded file,
// or a valid user file of the same format in the editor's settings folder in its place.
class CTarnStringTable {
public:
    static constexpr int kAutomaticSlot = -1;

    static CTarnStringTable* Acquire();
    static void Release();
    static CTarnStringTable* Instance();
    static int RefCount();

    // Where a user's own text file replaces the embedded one (empty: none is looked for).
    static void SetUserFilePath(const std::string& path);

    // Reads text in the file format into `slot`; false (with a trace) on an error, which leaves
    // the slot as it was.
    bool LoadFromText(std::string_view text, int slot = 0);

    // The text at `index` of the keyword's list, or null.
    const std::string* GetString(const std::string& keyword, int index) const;
    // The number of texts under the keyword (0 when absent).
    int GetCount(const std::string& keyword) const;

    // 0, 1 or kAutomaticSlot (Japanese locale -> 1, else 0).
    void SelectSlot(int slot);
    int CurrentSlot() const { return current_; }

private:
    CTarnStringTable() = default;
    bool Initialize();

    std::array<std::map<std::string, std::vector<std::string>>, 2> slots_;
    int current_ = 0;
};
