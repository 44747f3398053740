// The process-wide objects of the program, constructed in this order before
// the entry point runs: the module, then the settings, which read the
// settings file and choose the board cursor.
#include "framework/AppModule.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "view/BoardCursor.h"

CAppModule AppModule;

SettingsRecord Settings;

namespace {

struct SettingsStartUp {
    SettingsStartUp() {
        Settings.HelpFilePath = ComputeHelpFilePath();
        LoadSettings();
        SetBoardCursor(Settings.CursorFile);
    }
    ~SettingsStartUp() { ReleaseBoardCursor(); }
};

SettingsStartUp settingsStartUp;

}  // namespace
