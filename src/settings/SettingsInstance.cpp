// The settings record with its initial values, for programs that do not read
// the settings file at start-up (tests, tour-bench).
#include "Settings.h"

SettingsRecord Settings;
