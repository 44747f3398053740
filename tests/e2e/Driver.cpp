#include "Driver.h"

#include <shlobj.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>

namespace e2e {

namespace {

std::wstring g_programPath;

// How long the driver waits for things that normally take a fraction of a second.
constexpr DWORD StartTimeoutMs = 30000;   // a first start in a fresh prefix also starts Wine's services
constexpr DWORD IdleTimeoutMs = 60000;    // covers a tour search at its longest time limit and more
constexpr DWORD ReplyTimeoutMs = 5000;
constexpr DWORD CloseTimeoutMs = 10000;
constexpr DWORD PollMs = 20;
constexpr DWORD QuietLookMs = 30;         // Wine counts processor time in 10 ms ticks

struct WindowSearch {
    DWORD ProcessId;
    HWND Except;
    bool NeedChildren;
    HWND Found;
};

bool IsDialogOfProcess(HWND window, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == processId && IsWindowVisible(window) && ClassOf(window) == L"#32770";
}

// The first visible dialog window of the process other than search->Except.
BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    if (window == search->Except || !IsDialogOfProcess(window, search->ProcessId)) return TRUE;
    if (search->NeedChildren &&
        (GetWindow(window, GW_OWNER) != nullptr || GetWindow(window, GW_CHILD) == nullptr))
        return TRUE;
    search->Found = window;
    return FALSE;
}

// The processor time a process has used so far, in 100 ns units. Wine's
// GetProcessTimes does not follow other processes; its list of processes
// (NtQuerySystemInformation, SystemProcessInformation) reads the times from
// the system. The leading part of each entry of that list, as laid out on x64:
struct ProcessEntry {
    ULONG NextEntryOffset;
    ULONG NumberOfThreads;
    LARGE_INTEGER WorkingSetPrivateSize;
    ULONG HardFaultCount;
    ULONG NumberOfThreadsHighWatermark;
    ULONGLONG CycleTime;
    LARGE_INTEGER CreateTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER KernelTime;
    UNICODE_STRING ImageName;
    LONG BasePriority;
    HANDLE UniqueProcessId;
};

ULONGLONG ProcessorTime(DWORD processId) {
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    const ULONG SystemProcessInformation = 5;
    static std::vector<char> list(1 << 20);
    ULONG length = 0;
    if (!query || query(SystemProcessInformation, list.data(), ULONG(list.size()), &length) != 0) return 0;
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const ProcessEntry*>(list.data() + offset);
        if (DWORD(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId)) == processId)
            return ULONGLONG(entry->UserTime.QuadPart) + ULONGLONG(entry->KernelTime.QuadPart);
        if (entry->NextEntryOffset == 0) return 0;
        offset += entry->NextEntryOffset;
    }
}

std::wstring SettingsFolder() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\Darnholt\\WOrvan";
}

}  // namespace

void SetProgramPath(const std::wstring& path) { g_programPath = path; }
const std::wstring& ProgramPath() { return g_programPath; }

Square SquareNamed(const char* name) {
    return Square{name[0] - 'a', name[1] - '1'};
}

int MaxCellSizeOnThisScreen() {
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    int height = workArea.bottom - workArea.top;
    return (height - 2 * GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYCAPTION) - 7) / 8;
}

// ---------------------------------------------------------------- settings file

std::wstring SettingsFilePath() { return SettingsFolder() + L"\\WOrvan.cfg"; }

bool SettingsFileExists() {
    return GetFileAttributesW(SettingsFilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteSettingsFile(const std::string& bytes) {
    SHCreateDirectoryExW(nullptr, SettingsFolder().c_str(), nullptr);
    HANDLE file = CreateFileW(SettingsFilePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot write the settings file %s\n", Narrow(SettingsFilePath()).c_str());
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadSettingsFile() {
    std::string bytes;
    HANDLE file = CreateFileW(SettingsFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void RemoveSettingsFile() { DeleteFileW(SettingsFilePath().c_str()); }

// ---------------------------------------------------------------- text helpers

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &result[0], size, nullptr, nullptr);
    return result;
}

// The text of a window of another process, asked of the window itself.
std::wstring WindowText(HWND window) {
    if (!window) return {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, ReplyTimeoutMs, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                        ReplyTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// ---------------------------------------------------------------- starting

Game::~Game() { CloseOrKill(); }

bool Game::Start(const std::wstring& extraArguments) {
    const std::wstring& exe = ProgramPath();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!extraArguments.empty()) commandLine += L" " + extraArguments;
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    if (!CreateProcessW(exe.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process_)) {
        problem_ = "cannot start " + Narrow(exe) + ", error " + std::to_string(GetLastError());
        std::printf("%s\n", problem_.c_str());
        return false;
    }

    ULONGLONG deadline = GetTickCount64() + StartTimeoutMs;
    while (!FindMainWindow()) {
        DWORD code = 0;
        if (WaitForExit(0, &code)) {
            problem_ = "the program ended before its main window was ready, exit code " + std::to_string(code);
            std::printf("%s\n", problem_.c_str());
            return false;
        }
        if (GetTickCount64() > deadline) {
            problem_ = "the program's main window was not ready after " + std::to_string(StartTimeoutMs) + " ms";
            std::printf("%s\n", problem_.c_str());
            return false;
        }
        Sleep(PollMs);
    }
    WaitUntilIdle();
    return true;
}

// Ready: a visible, unowned dialog window of the process with its child
// windows, the board among them, that answers messages.
bool Game::FindMainWindow() {
    WindowSearch search{process_.dwProcessId, nullptr, true, nullptr};
    EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
    if (!search.Found) return false;
    main_ = search.Found;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, ReplyTimeoutMs, &ignored)) return false;
    return Board() != nullptr;
}

// The program's idle update runs once its queue is empty, just before it waits
// for the next message. An answer to WM_NULL only shows that the program has
// looked at its queue, so also wait until it stops using the processor: after
// an answer, the process's processor time must stay the same for a while, twice
// in a row (a tour search keeps it busy, and answers WM_NULL while it runs).
void Game::WaitUntilIdle() {
    if (!main_) return;
    ULONGLONG deadline = GetTickCount64() + IdleTimeoutMs;
    int quietLooks = 0;
    while (quietLooks < 2 && GetTickCount64() < deadline) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, ReplyTimeoutMs, &ignored) && !IsWindow(main_))
            return;
        ULONGLONG before = ProcessorTime(process_.dwProcessId);
        Sleep(QuietLookMs);
        quietLooks = ProcessorTime(process_.dwProcessId) == before ? quietLooks + 1 : 0;
    }
    if (quietLooks < 2 && IsRunning())
        std::printf("the program was still busy after %lu ms\n", static_cast<unsigned long>(IdleTimeoutMs));
}

// ---------------------------------------------------------------- looking at the window

HWND Game::Control(int id) const { return main_ ? GetDlgItem(main_, id) : nullptr; }

// The board is the child window at the main window's client origin.
HWND Game::Board() const {
    if (!main_) return nullptr;
    POINT inside{1, 1};
    HWND child = ChildWindowFromPointEx(main_, inside, CWP_SKIPINVISIBLE);
    if (child && child != main_) return child;
    for (HWND c = GetWindow(main_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
        if (r.left == 0 && r.top == 0) return c;
    }
    return nullptr;
}

std::wstring Game::Caption() const { return WindowText(main_); }
std::wstring Game::TextOf(int id) const { return WindowText(Control(id)); }
bool Game::IsShown(int id) const { return Control(id) && IsWindowVisible(Control(id)); }
bool Game::IsEnabled(int id) const { return Control(id) && IsWindowEnabled(Control(id)); }

RECT Game::WindowRect() const {
    RECT r{};
    GetWindowRect(main_, &r);
    return r;
}

RECT Game::ClientRect() const {
    RECT r{};
    GetClientRect(main_, &r);
    MapWindowPoints(main_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Game::ControlRectInClient(int id) const {
    RECT r{};
    GetWindowRect(Control(id), &r);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Game::BoardRectInClient() const {
    RECT r{};
    GetWindowRect(Board(), &r);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Game::CellSize() const {
    RECT r{};
    GetClientRect(Board(), &r);
    return r.right / 8;
}

// ---------------------------------------------------------------- acting

void Game::Press(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

HWND Game::FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info) && info.hwndFocus) return info.hwndFocus;
    return main_;
}

void Game::PostKey(HWND target, UINT down, UINT up, UINT virtualKey, LPARAM extraBits) {
    LPARAM scanCode = LPARAM(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, down, virtualKey, 1 | scanCode | extraBits);
    PostMessageW(target, up, virtualKey, 1 | scanCode | extraBits | (LPARAM(1) << 30) | (LPARAM(1) << 31));
}

// Key presses are posted to the program's thread, as the keyboard would, so
// they pass through its message loop and its accelerator table.
void Game::PressKey(UINT virtualKey) { PressKeyOn(FocusedWindow(), virtualKey); }
void Game::PressKeyOn(HWND window, UINT virtualKey) { PostKey(window, WM_KEYDOWN, WM_KEYUP, virtualKey, 0); }

void Game::PressAltF4() {
    const LPARAM altHeld = LPARAM(KF_ALTDOWN) << 16;
    PostKey(FocusedWindow(), WM_SYSKEYDOWN, WM_SYSKEYUP, VK_F4, altHeld);
}

void Game::CloseBox() { PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0); }
void Game::SendCloseMessage() { PostMessageW(main_, WM_CLOSE, 0, 0); }

void Game::ClickInClient(int x, int y) {
    LPARAM point = MAKELPARAM(x, y);
    PostMessageW(main_, WM_MOUSEMOVE, 0, point);
    PostMessageW(main_, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(main_, WM_LBUTTONUP, 0, point);
}

void Game::ClickSquare(Square square) {
    int c = CellSize();
    LPARAM point = MAKELPARAM(square.File * c + c / 2, (7 - square.Rank) * c + c / 2);
    HWND board = Board();
    PostMessageW(board, WM_MOUSEMOVE, 0, point);
    PostMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(board, WM_LBUTTONUP, 0, point);
}

// ---------------------------------------------------------------- the screen

COLORREF Game::PixelOnScreen(int x, int y) const {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

COLORREF Game::PixelOfSquare(Square square, SquarePoint where) {
    WaitUntilIdle();
    int c = CellSize();
    POINT p{square.File * c, (7 - square.Rank) * c};  // top-left corner of the square
    if (where == SquarePoint::Centre) {
        p.x += c / 2;
        p.y += c / 2;
    } else {
        p.x += 2;
        p.y += 2;
    }
    ClientToScreen(Board(), &p);
    return PixelOnScreen(p.x, p.y);
}

// ---------------------------------------------------------------- message boxes

HWND Game::FindMessageBox() const {
    WindowSearch search{process_.dwProcessId, main_, false, nullptr};
    EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND Game::WaitForMessageBox(DWORD milliseconds) {
    ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        if (HWND box = FindMessageBox()) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(box, WM_NULL, 0, 0, SMTO_NORMAL, ReplyTimeoutMs, &ignored);
            return box;
        }
        if (GetTickCount64() > deadline || !IsRunning()) return nullptr;
        Sleep(PollMs);
    }
}

// A message box shows its text in a static control with the id 0xFFFF.
std::wstring Game::MessageBoxText(HWND box) const {
    if (HWND text = GetDlgItem(box, 0xFFFF)) return WindowText(text);
    std::wstring all;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == L"Static") all += WindowText(c);
    return all;
}

std::wstring Game::MessageBoxCaption(HWND box) const { return WindowText(box); }

void Game::PressOk(HWND box) {
    if (HWND ok = GetDlgItem(box, IDOK))
        PostMessageW(ok, BM_CLICK, 0, 0);
    else
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    ULONGLONG deadline = GetTickCount64() + CloseTimeoutMs;
    while (IsWindow(box) && GetTickCount64() < deadline) Sleep(PollMs);
    WaitUntilIdle();
}

// ---------------------------------------------------------------- the end

bool Game::IsRunning() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Game::WaitForExit(DWORD milliseconds, DWORD* exitCode) {
    if (!process_.hProcess) return false;
    if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

// At the end of every test: ask the program to close, and end it if it does not.
void Game::CloseOrKill() {
    if (!process_.hProcess) return;
    if (IsRunning()) {
        while (HWND box = FindMessageBox()) {
            PostMessageW(box, WM_CLOSE, 0, 0);
            ULONGLONG deadline = GetTickCount64() + 2000;
            while (IsWindow(box) && GetTickCount64() < deadline) Sleep(PollMs);
            if (IsWindow(box)) break;
        }
        if (main_ && IsWindow(main_)) PostMessageW(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, CloseTimeoutMs) != WAIT_OBJECT_0) {
            std::printf("the program did not close; ending it\n");
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, CloseTimeoutMs);
        }
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = PROCESS_INFORMATION{};
    main_ = nullptr;
}

}  // namespace e2e
