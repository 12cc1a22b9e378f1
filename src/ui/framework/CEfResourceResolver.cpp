#include "ui/framework/CEfResourceResolver.h"

#include "ui/framework/CTarnManagerResolver.h"

namespace {
CEfResourceResolver* g_installed = nullptr;
}

CEfResourceResolver* CEfResourceResolver::Default() {
    if (g_installed != nullptr) {
        return g_installed;
    }
    static CTarnManagerResolver managers;
    return &managers;
}

void CEfResourceResolver::SetDefault(CEfResourceResolver* resolver) {
    g_installed = resolver;
}
