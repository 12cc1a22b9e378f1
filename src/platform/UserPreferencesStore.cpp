#include "platform/UserPreferencesStore.h"

#include "platform/CHfcMemoryPreferences.h"
#ifdef TALVEX_HAVE_QT
#include "platform/qt/CHfcQtPreferences.h"
#endif

std::unique_ptr<CHfcPreferences> CreateUserPreferencesStore() {
#ifdef TALVEX_HAVE_QT
    return std::make_unique<CHfcQtPreferences>();
#else
    return std::make_unique<CHfcMemoryPreferences>();
#endif
}
