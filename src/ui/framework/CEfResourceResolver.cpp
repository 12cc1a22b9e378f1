#include "ui/framework/CEfResourceResolver.h"

namespace {
CEfResourceResolver* g_default = nullptr;
}

CEfResourceResolver* CEfResourceResolver::Default() {
    return g_default;
}

void CEfResourceResolver::SetDefault(CEfResourceResolver* resolver) {
    g_default = resolver;
}
