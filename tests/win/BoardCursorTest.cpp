#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"
#include "settings/Settings.h"
#include "view/BoardCursor.h"

namespace {

// A minimal static cursor file: one 32 x 32 monochrome image.
std::wstring WriteCursorFile() {
    std::vector<unsigned char> bytes;
    auto put16 = [&](unsigned v) { bytes.push_back(v & 0xFF); bytes.push_back((v >> 8) & 0xFF); };
    auto put32 = [&](unsigned v) { put16(v & 0xFFFF); put16(v >> 16); };
    const unsigned imageSize = 40 + 8 + 128 + 128;
    put16(0); put16(2); put16(1);                 // reserved, type: cursor, one image
    bytes.push_back(32); bytes.push_back(32); bytes.push_back(0); bytes.push_back(0);
    put16(3); put16(4);                            // hot spot
    put32(imageSize); put32(22);
    put32(40); put32(32); put32(64); put16(1); put16(1); put32(0); put32(0); put32(0); put32(0); put32(0); put32(0);
    put32(0x000000); put32(0xFFFFFF);              // palette
    for (int i = 0; i < 128; ++i) bytes.push_back(i % 4 == 0 ? 0xF0 : 0x00);  // XOR
    for (int i = 0; i < 128; ++i) bytes.push_back(0x0F);                      // AND
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"cur", 0, path);
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

struct CursorCase {
    const char* name;
    bool useFile;         // the valid cursor file, else the path below
    const wchar_t* path;  // when not the file
    bool handCursor;
    enum { FromFile, Hand, Knight } expected;
};

TEST(BoardCursor, AFileThatLoadsWinsElseHandOrKnight) {
    const std::wstring cursorFile = WriteCursorFile();
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR knight = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_KNIGHT_CURSOR));
    ASSERT_NE(knight, nullptr);
    const CursorCase cases[] = {
        {"no file, knight", false, L"", false, CursorCase::Knight},
        {"no file, hand", false, L"", true, CursorCase::Hand},
        {"a cursor file beats the hand", true, nullptr, true, CursorCase::FromFile},
        {"a cursor file, no hand", true, nullptr, false, CursorCase::FromFile},
        {"a missing file falls back to the knight", false, L"C:\\nowhere\\missing.cur", false, CursorCase::Knight},
        {"a missing file falls back to the hand", false, L"C:\\nowhere\\missing.cur", true, CursorCase::Hand},
    };
    const SettingsRecord saved = Settings;
    for (const CursorCase& c : cases) {
        Settings.HandCursor = c.handCursor;
        const std::wstring path = c.useFile ? cursorFile : c.path;
        SetBoardCursor(path);
        EXPECT_EQ(Settings.CursorFile, path) << c.name;
        const HCURSOR got = static_cast<HCURSOR>(Settings.BoardCursor);
        ASSERT_NE(got, nullptr) << c.name;
        switch (c.expected) {
        case CursorCase::FromFile:
            EXPECT_NE(got, hand) << c.name;
            EXPECT_NE(got, knight) << c.name;
            break;
        case CursorCase::Hand:
            EXPECT_EQ(got, hand) << c.name;
            break;
        case CursorCase::Knight:
            EXPECT_EQ(got, knight) << c.name;
            break;
        }
    }
    ReleaseBoardCursor();
    EXPECT_EQ(Settings.BoardCursor, nullptr);
    Settings = saved;
    DeleteFileW(cursorFile.c_str());
}

}  // namespace
