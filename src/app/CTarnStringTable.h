#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The texts of the pages' lists and name tables, read from the string-resource text file:
// keyword -> texts in file order, in two language slots (0 English, 1 Japanese).
// Reference-counted singleton like CTarnResourceManager; its creation loads the embedded file,
// or a valid user file of the same format in the editor's settings folder in its place. A user
// file is valid when it reads without error and holds every list of the embedded file with at
// least as many texts; otherwise it is ignored (with a trace). A slot without a keyword falls
// back to slot 0, which is the only one the embedded file fills.
class CTarnStringTable {
public:
    static constexpr int kAutomaticSlot = -1;
    static constexpr const char* kFileName = "TalvexProStringResources.txt";

    static CTarnStringTable* Acquire();
    static void Release();
    static CTarnStringTable* Instance();
    static int RefCount();

    // Where a user's own text file replaces the embedded one (empty: none is looked for): the
    // file, or the folder holding kFileName. Takes effect at the next creation.
    static void SetUserFilePath(const std::string& path);
    // kFileName in the editor's settings folder ($XDG_CONFIG_HOME/VESK or ~/.config/VESK).
    static std::string DefaultUserFilePath();

    using Table = std::map<std::string, std::vector<std::string>>;

    // Reads text in the string-resource file format into `out`; false (with a trace, `out`
    // untouched) on an error.
    static bool ReadText(std::string_view text, Table& out);

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
    // The slot kAutomaticSlot stands for: 1 when LC_ALL, LC_MESSAGES or LANG (the first one set)
    // names a Japanese locale, else 0.
    static int AutomaticSlot();

    // Whether the texts came from the user's file.
    bool UserFileLoaded() const { return userFileLoaded_; }

private:
    CTarnStringTable() = default;
    bool Initialize();
    void LoadUserFile(const std::string& where);
    const std::vector<std::string>* Find(const std::string& keyword) const;

    std::array<Table, 2> slots_;
    int current_ = 0;
    bool userFileLoaded_ = false;
};
