// The cursor shown over legal squares of the board.
#pragma once

#include <string>

// Loads the board cursor: the cursor file when it loads, else the system hand
// (when HandCursor is set) or the built-in knight cursor. Stores path in
// Settings.CursorFile whether or not it loaded.
void SetBoardCursor(const std::wstring& path);

// Releases the board cursor (at exit).
void ReleaseBoardCursor();
