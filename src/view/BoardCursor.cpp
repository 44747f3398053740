#include "BoardCursor.h"

#include <windows.h>

#include <new>
#include <vector>

#include "CursorFileCheck.h"
#include "framework/AppModule.h"
#include "resource.h"
#include "settings/Settings.h"

namespace {

// Only a cursor loaded from a file belongs to us; shared system and resource
// cursors must never be destroyed.
bool boardCursorFromFile = false;

// Whether the file may be handed to the system's cursor loader: a file on a
// disk that begins like a cursor file is read whole and looked at first
// (CursorFileCheck.h), since a damaged cursor file can end the process
// inside some loaders; anything else is no cursor (a device such as COM1 is
// never read: reading it could wait for ever). A file that cannot be opened
// is left to the loader, which fails on it by itself.
bool MayLoadCursorFile(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        return false;
    }
    bool may = false;
    std::vector<unsigned char> bytes(4);
    DWORD read = 0;
    LARGE_INTEGER size{};
    if (::ReadFile(file, bytes.data(), 4, &read, nullptr) && BeginsLikeCursorFile(bytes.data(), read) &&
        ::GetFileSizeEx(file, &size) && size.QuadPart <= 0x7FFFFFFF) {
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
            const DWORD rest = static_cast<DWORD>(bytes.size() - 4);
            may = (rest == 0 || (::ReadFile(file, bytes.data() + 4, rest, &read, nullptr) && read == rest)) &&
                  IsCursorFileSafeToLoad(bytes.data(), bytes.size());
        } catch (const std::bad_alloc&) {
            may = false;
        }
    }
    ::CloseHandle(file);
    return may;
}

}  // namespace

void ReleaseBoardCursor() {
    if (Settings.BoardCursor != nullptr && boardCursorFromFile) ::DestroyCursor(static_cast<HCURSOR>(Settings.BoardCursor));
    Settings.BoardCursor = nullptr;
    boardCursorFromFile = false;
}

void SetBoardCursor(const std::wstring& path) {
    ReleaseBoardCursor();
    if (!path.empty() && MayLoadCursorFile(path)) {
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
