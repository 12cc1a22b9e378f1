#pragma once

#include <memory>

#include "platform/CHfcPreferences.h"

// The preferences store of the current user: the settings file in the user's configuration
// folder when this build has a settings backend, otherwise a store in memory that forgets
// everything at exit.
std::unique_ptr<CHfcPreferences> CreateUserPreferencesStore();
