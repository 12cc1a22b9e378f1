#include "app/CTarnStringTable.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <system_error>

#include "framework/CEfEmbeddedFiles.h"
#include "framework/CEfSingletonSlot.h"
#include "framework/EfTrace.h"

namespace {

// Never destroyed: a singleton still held at exit must not outlive the slots it releases.
CEfSingletonSlot<CTarnStringTable>& Slot() {
    static auto* slot = new CEfSingletonSlot<CTarnStringTable>();
    return *slot;
}

std::mutex userPathMutex;
std::string userFilePath;

constexpr size_t kMaxItemLength = 255;
// A user file larger than this is not a text table.
constexpr std::uintmax_t kMaxUserFileSize = 4u << 20;

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsWhite(char c) {
    return c == ' ' || c == '\t' || IsLineEnd(c);
}

} // namespace

bool CTarnStringTable::ReadText(std::string_view text, Table& out) {
    // Editors on some desktops begin UTF-8 files with a byte-order mark; it is not an item.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    Table table;
    std::vector<std::string>* current = nullptr;
    size_t i = 0;
    const size_t n = text.size();
    while (true) {
        while (i < n && IsWhite(text[i])) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        const size_t start = i;
        // A keyword's 255 characters follow its '*'.
        const size_t limit = text[i] == '*' ? kMaxItemLength + 1 : kMaxItemLength;
        while (i < n && !IsLineEnd(text[i]) && i - start < limit) {
            ++i;
        }
        const std::string_view item = text.substr(start, i - start);
        if (item.front() == ';') {
            while (i < n && !IsLineEnd(text[i])) {
                ++i;
            }
        } else if (item.front() == '*') {
            if (item.size() == 1) {
                EfTrace("zero length keyword.");
                return false;
            }
            current = &table[std::string(item.substr(1))];
        } else if (!current) {
            EfTrace("CEfStringTable::LoadFromFile - Keyword undefined...");
            return false;
        } else {
            current->emplace_back(item);
        }
    }
    out = std::move(table);
    return true;
}

CTarnStringTable* CTarnStringTable::Acquire() {
    return Slot().Acquire([]() -> std::unique_ptr<CTarnStringTable> {
        std::unique_ptr<CTarnStringTable> table(new CTarnStringTable());
        if (!table->Initialize()) {
            EfTrace("CTarnStringTable::Create - Failed to load texts from resource.");
            return nullptr;
        }
        return table;
    });
}

void CTarnStringTable::Release() {
    Slot().Release();
}

CTarnStringTable* CTarnStringTable::Instance() {
    return Slot().Instance();
}

int CTarnStringTable::RefCount() {
    return Slot().RefCount();
}

void CTarnStringTable::SetUserFilePath(const std::string& path) {
    std::lock_guard<std::mutex> lock(userPathMutex);
    userFilePath = path;
}

std::string CTarnStringTable::DefaultUserFilePath() {
    std::filesystem::path folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config && config[0] == '/') {
        folder = config;
    } else if (home && *home) {
        folder = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return (folder / "VESK" / kFileName).string();
}

bool CTarnStringTable::Initialize() {
    const CEfEmbeddedFile* file = CEfEmbeddedFiles::Find(kFileName);
    if (!file) {
        EfTrace("CTarnStringTable::Create - %s is not linked.", kFileName);
        return false;
    }
    if (!LoadFromText(std::string_view(reinterpret_cast<const char*>(file->data), file->size))) {
        return false;
    }
    std::string path;
    {
        std::lock_guard<std::mutex> lock(userPathMutex);
        path = userFilePath;
    }
    if (!path.empty()) {
        LoadUserFile(path);
    }
    return true;
}

void CTarnStringTable::LoadUserFile(const std::string& where) {
    std::error_code error;
    std::filesystem::path path(where);
    if (std::filesystem::is_directory(path, error)) {
        path /= kFileName;
    }
    if (!std::filesystem::is_regular_file(path, error)) {
        return;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxUserFileSize) {
        EfTrace("CTarnStringTable::Create - Ignored %s: not a text table.", path.c_str());
        return;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        EfTrace("CTarnStringTable::Create - Ignored %s: cannot be read.", path.c_str());
        return;
    }
    Table table;
    if (!ReadText(text, table)) {
        EfTrace("CTarnStringTable::Create - Ignored %s: reading failed.", path.c_str());
        return;
    }
    // A table without a list the pages show would leave them empty: keep the built-in texts.
    for (const auto& [keyword, texts] : slots_[0]) {
        auto found = table.find(keyword);
        if (found == table.end() || found->second.size() < texts.size()) {
            EfTrace("CTarnStringTable::Create - Ignored %s: \"%s\" is missing or shorter.",
                    path.c_str(), keyword.c_str());
            return;
        }
    }
    slots_[0] = std::move(table);
    userFileLoaded_ = true;
}

bool CTarnStringTable::LoadFromText(std::string_view text, int slot) {
    if (slot < 0 || slot >= static_cast<int>(slots_.size())) {
        return false;
    }
    Table table;
    if (!ReadText(text, table)) {
        return false;
    }
    slots_[slot] = std::move(table);
    return true;
}

const std::vector<std::string>* CTarnStringTable::Find(const std::string& keyword) const {
    auto found = slots_[current_].find(keyword);
    if (found != slots_[current_].end()) {
        return &found->second;
    }
    // The shipped file fills only the English slot; another language falls back to it.
    if (current_ != 0) {
        found = slots_[0].find(keyword);
        if (found != slots_[0].end()) {
            return &found->second;
        }
    }
    return nullptr;
}

const std::string* CTarnStringTable::GetString(const std::string& keyword, int index) const {
    const std::vector<std::string>* texts = Find(keyword);
    if (!texts) {
        EfTrace("CEfStringTable::GetString : Not found key \"%s\"", keyword.c_str());
        return nullptr;
    }
    if (index < 0 || index >= static_cast<int>(texts->size())) {
        return nullptr;
    }
    return &(*texts)[index];
}

int CTarnStringTable::GetCount(const std::string& keyword) const {
    const std::vector<std::string>* texts = Find(keyword);
    return texts ? static_cast<int>(texts->size()) : 0;
}

int CTarnStringTable::AutomaticSlot() {
    // The locale variables in the order the C library consults them for messages.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            const std::string_view locale(value);
            return locale.substr(0, 2) == "ja" ? 1 : 0;
        }
    }
    return 0;
}

void CTarnStringTable::SelectSlot(int slot) {
    if (slot == kAutomaticSlot) {
        current_ = AutomaticSlot();
    } else if (slot == 0 || slot == 1) {
        current_ = slot;
    }
}
