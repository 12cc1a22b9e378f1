#include "ui/framework/CTarnManagerResolver.h"

#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnFontManager.h"
#include "app/CTarnResourceManager.h"
#include "app/CTarnStringTable.h"

const CEfImage* CTarnManagerResolver::GetImage(const std::string& name) {
    CTarnResourceManager* manager = CTarnResourceManager::Instance();
    return manager != nullptr ? manager->GetImage(name) : nullptr;
}

const CEfFontInfo* CTarnManagerResolver::GetFontInfo(const std::string& name) {
    CTarnFontManager* manager = CTarnFontManager::Instance();
    return manager != nullptr ? manager->GetFontInfo(name) : nullptr;
}

int CTarnManagerResolver::GetStringCount(const std::string& keyword) {
    CTarnStringTable* table = CTarnStringTable::Instance();
    return table != nullptr ? table->GetCount(keyword) : 0;
}

const std::string* CTarnManagerResolver::GetString(const std::string& keyword, int index) {
    CTarnStringTable* table = CTarnStringTable::Instance();
    return table != nullptr ? table->GetString(keyword, index) : nullptr;
}

std::string CTarnManagerResolver::GetMimeType(const std::string& shortName) {
    CTarnClipboardTypeManager* manager = CTarnClipboardTypeManager::Instance();
    return manager != nullptr ? manager->GetMimeType(shortName) : std::string();
}
