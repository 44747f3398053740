#include "BoardCursor.h"

#include <windows.h>

#include "framework/AppModule.h"
#include "resource.h"
#include "settings/Settings.h"

namespace {

// Only a cursor loaded from a file belongs to us; shared system and resource
// cursors must never be destroyed.
bool boardCursorFromFile = false;

}  // namespace

void ReleaseBoardCursor() {
    if (Settings.BoardCursor != nullptr && boardCursorFromFile) ::DestroyCursor(static_cast<HCURSOR>(Settings.BoardCursor));
    Settings.BoardCursor = nullptr;
    boardCursorFromFile = false;
}

void SetBoardCursor(const std::wstring& path) {
    ReleaseBoardCursor();
    if (!path.empty()) {
        Settings.BoardCursor = ::LoadCursorFromFileW(path.c_str());
        boardCursorFromFile = Settings.BoardCursor != nullptr;
    }
    Settings.CursorFile = path;
    if (Settings.BoardCursor == nullptr) {
        Settings.BoardCursor = Settings.HandCursor
                                   ? ::LoadCursorW(nullptr, IDC_HAND)
                                   : ::LoadCursorW(AppModule.GetResourceInstance(), MAKEINTRESOURCEW(IDC_KNIGHT_CURSOR));
    }
}
