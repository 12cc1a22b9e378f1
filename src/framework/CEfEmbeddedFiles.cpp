#include "framework/CEfEmbeddedFiles.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct CTable {
    const CEfEmbeddedFile* files;
    size_t count;
};

struct CRegistry {
    std::mutex mutex;
    std::vector<CTable> tables;
};

// Built on first use, so tables registered by static initialisers of other libraries find it.
CRegistry& Registry() {
    static CRegistry registry;
    return registry;
}

} // namespace

void CEfEmbeddedFiles::Register(const CEfEmbeddedFile* files, size_t count) {
    if (!files) {
        return;
    }
    CRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (const CTable& table : registry.tables) {
        if (table.files == files) {
            return;
        }
    }
    registry.tables.push_back({files, count});
}

void CEfEmbeddedFiles::Remove(const CEfEmbeddedFile* files) {
    CRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    std::erase_if(registry.tables, [files](const CTable& table) { return table.files == files; });
}

const CEfEmbeddedFile* CEfEmbeddedFiles::Find(std::string_view name) {
    CRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (auto table = registry.tables.rbegin(); table != registry.tables.rend(); ++table) {
        for (size_t i = 0; i < table->count; ++i) {
            const CEfEmbeddedFile& file = table->files[i];
            if (file.name && name == file.name) {
                return file.data ? &file : nullptr;
            }
        }
    }
    return nullptr;
}
