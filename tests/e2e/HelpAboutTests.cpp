// Help and the about box as a player meets them: F1 and the "Help" button
// open the help viewer on the game's help file (under Wine its page pane may
// stay blank, but its window and contents appear), and "About" shows a modal
// box centred over the main window with the game's version, which Enter,
// Escape, the close box and OK each close without ending the game.
#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

#include <cstdio>
#include <string>

#if __has_include("Version.h")
#include "Version.h"
#define ORVAN_HAVE_VERSION_HEADER 1
#endif

using namespace e2e;

namespace {

constexpr int VersionLabel = 1016;
constexpr DWORD WaitMs = 10000;  // things that normally take a fraction of a second

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

struct TopLevelSearch {
    DWORD Process;
    HWND Except;
    const wchar_t* Class;  // nullptr: any class
    HWND Found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TopLevelSearch*>(parameter);
    if (window == search->Except || !IsWindowVisible(window) || ProcessOf(window) != search->Process) return TRUE;
    if (search->Class != nullptr && ClassOf(window) != search->Class) return TRUE;
    search->Found = window;
    return FALSE;
}

// A visible top-level window of the game's process other than the main
// window, of the given class (any when nullptr); waits for it a while.
HWND WaitForOtherWindow(const Game& game, const wchar_t* className) {
    const ULONGLONG deadline = GetTickCount64() + WaitMs;
    for (;;) {
        TopLevelSearch search{ProcessOf(game.MainWindow()), game.MainWindow(), className, nullptr};
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr || GetTickCount64() > deadline || !game.IsRunning()) return search.Found;
        Sleep(20);
    }
}

bool WaitUntilGone(HWND window) {
    const ULONGLONG deadline = GetTickCount64() + WaitMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
    return true;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// The label the about box must show for the program under test.
std::wstring ExpectedVersionLabel() {
    int major = 0, minor = 0, build = 0, revision = 0;
    bool release = false;
#ifdef ORVAN_HAVE_VERSION_HEADER
    // The project's version and release switch, as the build configured them.
    major = WORVAN_VERSION_MAJOR;
    minor = WORVAN_VERSION_MINOR;
    build = WORVAN_VERSION_PATCH;
    revision = WORVAN_VERSION_TWEAK;
    release = WORVAN_PRERELEASE == 0;
#else
    // Without the build's version header: what the program file itself says.
    // The version functions are looked up at run time, as the driver links
    // no more libraries than it needs.
    using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    const HMODULE library = LoadLibraryW(L"version.dll");
    const auto sizeOf = reinterpret_cast<SizeFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoSizeW")));
    const auto infoOf = reinterpret_cast<InfoFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoW")));
    const auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "VerQueryValueW")));
    DWORD ignored = 0;
    const DWORD size = sizeOf && infoOf && query ? sizeOf(ProgramPath().c_str(), &ignored) : 0;
    std::string block(size, '\0');
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (size != 0 && infoOf(ProgramPath().c_str(), 0, size, &block[0]) &&
        query(&block[0], L"\\", &fixed, &fixedSize) && fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        major = HIWORD(info->dwProductVersionMS);
        minor = LOWORD(info->dwProductVersionMS);
        build = HIWORD(info->dwProductVersionLS);
        revision = LOWORD(info->dwProductVersionLS);
        release = (info->dwFileFlags & VS_FF_PRERELEASE) == 0;
    }
#endif
    wchar_t text[64];
    if (release) {
        swprintf(text, 64, L"Version %d.%d", major, minor);
    } else {
        swprintf(text, 64, L"Version \u00DF %d.%d.%d.%d", major, minor, build, revision);
    }
    return text;
}

// Where a box centred over the main window goes, kept inside the work area
// of the main window's monitor (right and bottom edges first, then left and
// top).
POINT CentredOver(const RECT& box, const RECT& owner) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    LONG left = (owner.left + owner.right) / 2 - width / 2;
    LONG top = (owner.top + owner.bottom) / 2 - height / 2;
    if (left + width > work.right) left = work.right - width;
    if (top + height > work.bottom) top = work.bottom - height;
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
    return POINT{left, top};
}

// ---------------------------------------------------------------- help

struct HelpWay {
    const char* name;
    void (*ask)(Game& game);
};

const HelpWay HelpWays[] = {
    {"F1", [](Game& game) { game.PressKey(VK_F1); }},
    {"the Help button", [](Game& game) { game.Press(HelpButton); }},
};

}  // namespace

E2E_TEST(f1_and_the_help_button_open_the_help_viewer) {
    for (const HelpWay& way : HelpWays) {
        CaseLabel label(way.name);
        Game game;
        REQUIRE(game.Start());
        way.ask(game);
        game.WaitUntilIdle();

        // The viewer's own frame window, captioned with the help file's title.
        const HWND viewer = WaitForOtherWindow(game, L"HH Parent");
        if (!CHECK(viewer != nullptr)) continue;
        CHECK(GetWindow(viewer, GW_CHILD) != nullptr);
        CHECK_EQ(WindowText(viewer), std::wstring(L"Orvan's Knight Help"));
        // The game goes on: its window still answers and is not disabled.
        CHECK(game.IsRunning());
        CHECK(IsWindowEnabled(game.MainWindow()) != FALSE);
        CHECK(game.FindMessageBox() == nullptr);

        game.Press(ExitButton);
        DWORD code = 0;
        CHECK(game.WaitForExit(WaitMs, &code));
        CHECK_EQ(code, NormalExitCode);
    }
}

// ---------------------------------------------------------------- about

namespace {

struct CloseWay {
    const char* name;
    void (*close)(Game& game, HWND box);
};

const CloseWay CloseWays[] = {
    {"Enter", [](Game& game, HWND) { game.PressKey(VK_RETURN); }},
    {"Escape", [](Game& game, HWND) { game.PressKey(VK_ESCAPE); }},
    {"the close box", [](Game&, HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"OK", [](Game&, HWND box) { PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }},
};

}  // namespace

E2E_TEST(about_shows_the_version_centred_over_the_main_window) {
    Game game;
    REQUIRE(game.Start());
    const std::wstring expected = ExpectedVersionLabel();
    std::printf("expected label: %s\n", Narrow(expected).c_str());

    for (const CloseWay& way : CloseWays) {
        CaseLabel label(std::string("closed with ") + way.name);
        game.Press(AboutButton);
        const HWND box = game.WaitForMessageBox(WaitMs);
        REQUIRE(box != nullptr);
        game.WaitUntilIdle();

        CHECK_EQ(WindowText(box), std::wstring(L"About Orvan's Knight"));
        CHECK_EQ(WindowText(GetDlgItem(box, VersionLabel)), expected);
        // Modal over the main window, with the keyboard on OK.
        CHECK(GetWindow(box, GW_OWNER) == game.MainWindow());
        CHECK(IsWindowEnabled(game.MainWindow()) == FALSE);
        CHECK(FocusOf(box) == GetDlgItem(box, IDOK));

        RECT boxRect{};
        GetWindowRect(box, &boxRect);
        const POINT centred = CentredOver(boxRect, game.WindowRect());
        CHECK_EQ(boxRect.left, centred.x);
        CHECK_EQ(boxRect.top, centred.y);

        way.close(game, box);
        CHECK(WaitUntilGone(box));
        game.WaitUntilIdle();
        // Only the box closed: the game runs on, usable again.
        CHECK(game.IsRunning());
        CHECK(IsWindowEnabled(game.MainWindow()) != FALSE);
        CHECK(game.FindMessageBox() == nullptr);
    }

    game.Press(ExitButton);
    DWORD code = 0;
    CHECK(game.WaitForExit(WaitMs, &code));
    CHECK_EQ(code, NormalExitCode);
}
