// The controls of the main window as a player meets them, by their ids.
#pragma once

namespace e2e {

enum ControlId : int {
    ExitButton = 2,           // "Exit"
    SolutionButton = 1007,    // "Solution"
    NewGameButton = 1008,     // "New game"
    BackButton = 1009,        // "<"
    ForwardButton = 1010,     // ">"
    AdviceButton = 1011,      // "?"
    FirstButton = 1012,       // "|<"
    LastButton = 1013,        // ">|"
    HelpButton = 1014,        // "Help"
    LoadButton = 1015,        // "Load"
    SaveButton = 1017,        // "Save"
    PreferencesButton = 1001, // "Preferences..."
    BrowseFrame = 1030,       // "Browse"
    NoHintsBox = 1032,        // "No hints"
    MuteBox = 1033,           // "Mute"
    Divider = 1041,
    PositionNames = 1042,     // the combo box of saved positions
    AboutButton = 57664,      // "About"
};

constexpr unsigned long NormalExitCode = 2;  // the program's exit code after a normal close

}  // namespace e2e
