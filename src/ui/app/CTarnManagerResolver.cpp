#include "ui/app/CTarnManagerResolver.h"

#include "app/CTarnClipboardTypeManager.h"
#include "app/CTarnFontManager.h"
#include "app/CTarnResourceManager.h"
#include "app/CTarnStringTable.h"

const CEfImage* CTarnManagerResolver::GetImage(const std::string& name) {
    CTarnResourceManager* manager = CTarnResourceManager::Instance();
    return manager ? manager->GetImage(name) : nullptr;
}

const CEfFontInfo* CTarnManagerResolver::GetFontInfo(const std::string& name) {
    const CTarnFontManager* manager = CTarnFontManager::Instance();
    return manager ? manager->GetFontInfo(name) : nullptr;
}

int CTarnManagerResolver::GetStringCount(const std::string& keyword) {
    const CTarnStringTable* table = CTarnStringTable::Instance();
    return table ? table->GetCount(keyword) : 0;
}

const std::string* CTarnManagerResolver::GetString(const std::string& keyword, int index) {
    const CTarnStringTable* table = CTarnStringTable::Instance();
    return table ? table->GetString(keyword, index) : nullptr;
}

std::string CTarnManagerResolver::GetMimeType(const std::string& shortName) {
    const CTarnClipboardTypeManager* manager = CTarnClipboardTypeManager::Instance();
    return manager ? manager->GetMimeType(shortName) : std::string();
}
