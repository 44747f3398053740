// The about box: its version label, which numbers of a version resource it
// shows and when it counts as a release, and the box itself run modally over
// an owner window, closed the ways a player closes it. Each label case is
// checked on the record itself and, through the platform's version functions,
// on a copy of this test program that carries the record as its only
// resource. This test program carries the game's resources, so the box is the
// game's own template 100 with the game's version resource.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/VersionLabel.h"

#if __has_include("Version.h")
#include "Version.h"
#define ORVAN_HAVE_VERSION_HEADER 1
#endif

namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring TempFile(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"orvan-version-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

VS_FIXEDFILEINFO FixedInfo(DWORD fileMS, DWORD fileLS, DWORD productMS, DWORD productLS, DWORD flagsMask,
                           DWORD flags) {
    VS_FIXEDFILEINFO info{};
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = VS_FFI_STRUCVERSION;
    info.dwFileVersionMS = fileMS;
    info.dwFileVersionLS = fileLS;
    info.dwProductVersionMS = productMS;
    info.dwProductVersionLS = productLS;
    info.dwFileFlagsMask = flagsMask;
    info.dwFileFlags = flags;
    info.dwFileOS = VOS_NT_WINDOWS32;
    info.dwFileType = VFT_APP;
    return info;
}

// A version resource holding only its root block: the header, the key
// "VS_VERSION_INFO" padded to 32 bits, and the fixed record.
std::vector<BYTE> VersionResource(const VS_FIXEDFILEINFO& info) {
    const wchar_t key[] = L"VS_VERSION_INFO";
    const size_t header = 3 * sizeof(WORD) + sizeof key;   // 38 bytes
    const size_t valueOffset = (header + 3) & ~size_t{3};  // 40
    std::vector<BYTE> block(valueOffset + sizeof info, 0);
    const WORD words[3] = {static_cast<WORD>(block.size()), static_cast<WORD>(sizeof info), 0};
    std::memcpy(block.data(), words, sizeof words);
    std::memcpy(block.data() + sizeof words, key, sizeof key);
    std::memcpy(block.data() + valueOffset, &info, sizeof info);
    return block;
}

// A copy of this test program whose only resource is the given version record.
bool WriteStampedCopy(const std::wstring& path, const VS_FIXEDFILEINFO& info) {
    if (!CopyFileW(OwnPath().c_str(), path.c_str(), FALSE)) return false;
    const HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
    if (update == nullptr) return false;
    std::vector<BYTE> data = VersionResource(info);
    const BOOL added = UpdateResourceW(update, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO),
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), data.data(),
                                       static_cast<DWORD>(data.size()));
    return EndUpdateResourceW(update, !added) && added;
}

// A copy of this test program without any resources.
bool WriteBareCopy(const std::wstring& path) {
    if (!CopyFileW(OwnPath().c_str(), path.c_str(), FALSE)) return false;
    const HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
    return update != nullptr && EndUpdateResourceW(update, FALSE);
}

struct LabelCase {
    const char* name;
    VS_FIXEDFILEINFO info;
    const wchar_t* label;
};

TEST(VersionLabel, ShowsTheProductVersionAndThePreReleaseMark) {
    const DWORD v3_0 = MAKELONG(0, 3);  // 3.0
    const DWORD v0_1 = MAKELONG(1, 0);  // .0.1
    const std::vector<LabelCase> cases = {
        {"release", FixedInfo(v3_0, v0_1, v3_0, v0_1, VS_FFI_FILEFLAGSMASK, 0), L"Version 3.0"},
        {"pre-release", FixedInfo(v3_0, v0_1, v3_0, v0_1, VS_FFI_FILEFLAGSMASK, VS_FF_PRERELEASE),
         L"Version \u00DF 3.0.0.1"},
        {"product version, not file version, in a release",
         FixedInfo(MAKELONG(9, 8), MAKELONG(6, 7), MAKELONG(2, 4), MAKELONG(0, 5), VS_FFI_FILEFLAGSMASK, 0),
         L"Version 4.2"},
        {"product version, not file version, in a pre-release",
         FixedInfo(MAKELONG(9, 8), MAKELONG(6, 7), MAKELONG(2, 4), MAKELONG(3, 5), VS_FFI_FILEFLAGSMASK,
                   VS_FF_PRERELEASE),
         L"Version \u00DF 4.2.5.3"},
        {"flags taken as stored, mask ignored", FixedInfo(v3_0, v0_1, v3_0, v0_1, 0, VS_FF_PRERELEASE),
         L"Version \u00DF 3.0.0.1"},
        {"other flags make no pre-release",
         FixedInfo(v3_0, v0_1, v3_0, v0_1, VS_FFI_FILEFLAGSMASK, VS_FF_DEBUG | VS_FF_PATCHED | VS_FF_PRIVATEBUILD),
         L"Version 3.0"},
        {"largest numbers stay unsigned",
         FixedInfo(0, 0, MAKELONG(0xFFFF, 0xFFFF), MAKELONG(0xFFFF, 0xFFFF), VS_FFI_FILEFLAGSMASK, VS_FF_PRERELEASE),
         L"Version \u00DF 65535.65535.65535.65535"},
        {"two-digit parts", FixedInfo(0, 0, MAKELONG(34, 12), MAKELONG(78, 56), VS_FFI_FILEFLAGSMASK, 0),
         L"Version 12.34"},
        {"all zero, release", FixedInfo(0, 0, 0, 0, VS_FFI_FILEFLAGSMASK, 0), L"Version 0.0"},
    };

    int index = 0;
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(VersionLabel(ProductVersionOf(c.info))), Narrow(c.label));
        EXPECT_TRUE(VersionLabel(ProductVersionOf(c.info)) == c.label);  // the ß itself, not just its place

        const std::wstring copy = TempFile(std::to_wstring(index++) + L".exe");
        ASSERT_TRUE(WriteStampedCopy(copy, c.info));
        EXPECT_TRUE(VersionLabel(ReadProductVersion(copy.c_str())) == c.label)
            << Narrow(VersionLabel(ReadProductVersion(copy.c_str())));
        DeleteFileW(copy.c_str());
    }
}

TEST(VersionLabel, UnreadableVersionShowsZerosAsPreRelease) {
    const std::wstring plainCopy = TempFile(L"plain.exe");
    ASSERT_TRUE(WriteBareCopy(plainCopy));
    const std::wstring textFile = TempFile(L"text.txt");
    const HANDLE file = CreateFileW(textFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "not a program", 13, &written, nullptr);
    CloseHandle(file);

    const struct {
        const char* name;
        std::wstring path;
    } cases[] = {
        {"program without a version resource", plainCopy},
        {"file that is no program", textFile},
        {"file that does not exist", TempFile(L"absent.exe")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramVersion version = ReadProductVersion(c.path.c_str());
        EXPECT_FALSE(version.Release);
        EXPECT_TRUE(VersionLabel(version) == L"Version \u00DF 0.0.0.0") << Narrow(VersionLabel(version));
    }
    DeleteFileW(plainCopy.c_str());
    DeleteFileW(textFile.c_str());
}

// ---------------------------------------------------------------- the box

const wchar_t AboutCaption[] = L"About Orvan's Knight";

// What one run of the box showed, and how it ended.
struct AboutRun {
    void (*close)(HWND box) = nullptr;  // what the player does once the box is up
    bool seen = false;
    std::wstring label;
    RECT box{};
    bool okHasFocus = false;
    bool ownerEnabled = true;
};

AboutRun* g_run = nullptr;

BOOL CALLBACK FindAboutBox(HWND window, LPARAM found) {
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    if (IsWindowVisible(window) && std::wcscmp(caption, AboutCaption) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the box's modal loop until the box is up, then looks at it and
// closes it the run's way.
VOID CALLBACK WhileTheBoxRuns(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindAboutBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) return;
    KillTimer(nullptr, timer);

    AboutRun& run = *g_run;
    run.seen = true;
    wchar_t label[64] = {};
    GetDlgItemTextW(box, IDC_VERSION_LABEL, label, 64);
    run.label = label;
    GetWindowRect(box, &run.box);
    run.okHasFocus = GetFocus() == GetDlgItem(box, IDOK);
    run.ownerEnabled = IsWindowEnabled(GetWindow(box, GW_OWNER)) != FALSE;
    run.close(box);
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeOwner(const RECT& rect) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OrvanAboutTestOwner";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, wc.hInstance, nullptr);
}

void PressKeyOnFocus(UINT key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
}

struct CloseCase {
    const char* name;
    void (*close)(HWND box);
    INT_PTR result;
};

TEST(AboutBox, OpensCentredOverItsOwnerShowsTheVersionAndClosesEachWay) {
    const CloseCase cases[] = {
        {"Enter", [](HWND) { PressKeyOnFocus(VK_RETURN); }, IDOK},
        {"Escape", [](HWND) { PressKeyOnFocus(VK_ESCAPE); }, IDCANCEL},
        {"close box", [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"OK clicked", [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }, IDOK},
        {"OK with another notification code",
         [](HWND box) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_DOUBLECLICKED), 0); }, IDOK},
        {"Cancel with another notification code",
         [](HWND box) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_DOUBLECLICKED), 0); }, IDCANCEL},
    };

    const RECT ownerRect{300, 200, 841, 641};
    const HWND owner = MakeOwner(ownerRect);
    ASSERT_NE(owner, nullptr);
    RECT ownerNow{};
    GetWindowRect(owner, &ownerNow);

    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        AboutRun run;
        run.close = c.close;
        g_run = &run;
        const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, WhileTheBoxRuns);
        ASSERT_NE(timer, 0u);
        CAboutDlg dialog;
        const INT_PTR result = dialog.DoModal(owner);
        KillTimer(nullptr, timer);
        g_run = nullptr;

        ASSERT_TRUE(run.seen);
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(run.okHasFocus);
        EXPECT_FALSE(run.ownerEnabled);

        const LONG width = run.box.right - run.box.left;
        const LONG height = run.box.bottom - run.box.top;
        EXPECT_EQ(run.box.left, (ownerNow.left + ownerNow.right) / 2 - width / 2);
        EXPECT_EQ(run.box.top, (ownerNow.top + ownerNow.bottom) / 2 - height / 2);

#ifdef ORVAN_HAVE_VERSION_HEADER
        // The label follows the project's version and its release switch,
        // through the version resource built into this program.
        wchar_t expected[64];
        if (WORVAN_PRERELEASE) {
            swprintf(expected, 64, L"Version \u00DF %d.%d.%d.%d", WORVAN_VERSION_MAJOR, WORVAN_VERSION_MINOR,
                     WORVAN_VERSION_PATCH, WORVAN_VERSION_TWEAK);
        } else {
            swprintf(expected, 64, L"Version %d.%d", WORVAN_VERSION_MAJOR, WORVAN_VERSION_MINOR);
        }
        EXPECT_TRUE(run.label == expected) << Narrow(run.label);
#else
        EXPECT_NE(run.label, L"Version x");
#endif
    }
    DestroyWindow(owner);
}

}  // namespace
