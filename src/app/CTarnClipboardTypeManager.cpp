#include "app/CTarnClipboardTypeManager.h"

#include <cctype>

#include "framework/CEfSingletonSlot.h"
#include "framework/EfTrace.h"

namespace {

// Never destroyed: a singleton still held at exit must not outlive the slots it releases.
CEfSingletonSlot<CTarnClipboardTypeManager>& Slot() {
    static auto* slot = new CEfSingletonSlot<CTarnClipboardTypeManager>();
    return *slot;
}

constexpr const char* kShortNames[] = {"SampleData", "ProgramMemory", "ExtCtrlData"};
constexpr const char* kFormatPrefix = "TALVEX PRO+ -";
// Identifiers in the range private clipboard formats use on the instrument's home platform.
constexpr int kFirstFormatId = 0xC000;

} // namespace

CTarnClipboardTypeManager* CTarnClipboardTypeManager::Acquire() {
    return Slot().Acquire([]() -> std::unique_ptr<CTarnClipboardTypeManager> {
        std::unique_ptr<CTarnClipboardTypeManager> manager(new CTarnClipboardTypeManager());
        if (!manager->Initialize()) {
            return nullptr;
        }
        return manager;
    });
}

void CTarnClipboardTypeManager::Release() {
    Slot().Release();
}

CTarnClipboardTypeManager* CTarnClipboardTypeManager::Instance() {
    return Slot().Instance();
}

int CTarnClipboardTypeManager::RefCount() {
    return Slot().RefCount();
}

bool CTarnClipboardTypeManager::Initialize() {
    int id = kFirstFormatId;
    for (const char* shortName : kShortNames) {
        types_.emplace(shortName, id++);
    }
    return true;
}

int CTarnClipboardTypeManager::GetClipboardType(const std::string& shortName) const {
    auto found = types_.find(shortName);
    if (found == types_.end()) {
        EfTrace("Failed to get clipboard type (%s)", shortName.c_str());
        return -1;
    }
    return found->second;
}

std::string CTarnClipboardTypeManager::GetFormatName(const std::string& shortName) const {
    if (types_.find(shortName) == types_.end()) {
        return {};
    }
    return kFormatPrefix + shortName;
}

std::string CTarnClipboardTypeManager::GetMimeType(const std::string& shortName) const {
    if (types_.find(shortName) == types_.end()) {
        return {};
    }
    // A private type: other programs neither offer nor accept it.
    std::string lower;
    for (char c : shortName) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return "application/x-talvex-pro-plus-" + lower;
}
