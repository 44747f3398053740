#include "Driver.h"

#include <psapi.h>
#include <shlobj.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot write the file %s\n", Narrow(path).c_str());
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

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
    WriteWholeFile(SettingsFilePath(), bytes);
}

std::string ReadSettingsFile() { return ReadWholeFile(SettingsFilePath()); }

void RemoveSettingsFile() { DeleteFileW(SettingsFilePath().c_str()); }

// ---------------------------------------------------------------- positions file

std::wstring PositionsFilePath() {
    const std::wstring& exe = ProgramPath();
    return exe.substr(0, exe.find_last_of(L'.')) + L".ini";
}

void WritePositionsFile(const std::string& bytes) { WriteWholeFile(PositionsFilePath(), bytes); }
std::string ReadPositionsFile() { return ReadWholeFile(PositionsFilePath()); }
void RemovePositionsFile() { DeleteFileW(PositionsFilePath().c_str()); }

std::vector<std::wstring> StoredPositionNames() {
    std::vector<wchar_t> buffer(1 << 20);
    DWORD got = GetPrivateProfileStringW(L"WOrvan", nullptr, L"", buffer.data(), DWORD(buffer.size()),
                                         PositionsFilePath().c_str());
    std::vector<std::wstring> names;
    for (DWORD i = 0; i < got && buffer[i] != L'\0';) {
        names.emplace_back(&buffer[i]);
        i += DWORD(names.back().size()) + 1;
    }
    return names;
}

std::wstring StoredPosition(const std::wstring& name) {
    std::vector<wchar_t> buffer(4096);
    GetPrivateProfileStringW(L"WOrvan", name.c_str(), L"", buffer.data(), DWORD(buffer.size()),
                             PositionsFilePath().c_str());
    return buffer.data();
}

// ---------------------------------------------------------------- tours and position texts

bool IsKnightMove(Square from, Square to) {
    int df = std::abs(from.File - to.File), dr = std::abs(from.Rank - to.Rank);
    return (df == 1 && dr == 2) || (df == 2 && dr == 1);
}

std::string NameOf(Square square) {
    return std::string{char('a' + square.File), char('1' + square.Rank)};
}

// A knight's tour from the given square, by always jumping to the free square
// with the fewest onward jumps; when a tie-break order gets stuck the next
// order is tried. Empty when none of them completes.
std::vector<Square> KnightsTourFrom(Square start) {
    static const int Jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    auto onBoard = [](int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; };
    for (int firstJump = 0; firstJump < 8; ++firstJump) {
        bool visited[8][8] = {};
        std::vector<Square> tour{start};
        visited[start.File][start.Rank] = true;
        auto freeExits = [&](int file, int rank) {
            int count = 0;
            for (const auto& jump : Jumps)
                if (onBoard(file + jump[0], rank + jump[1]) && !visited[file + jump[0]][rank + jump[1]]) ++count;
            return count;
        };
        while (tour.size() < 64) {
            Square here = tour.back(), best{-1, -1};
            int bestExits = 9;
            for (int j = 0; j < 8; ++j) {
                const int* jump = Jumps[(firstJump + j) % 8];
                int file = here.File + jump[0], rank = here.Rank + jump[1];
                if (!onBoard(file, rank) || visited[file][rank]) continue;
                int exits = freeExits(file, rank);
                if (exits < bestExits) {
                    bestExits = exits;
                    best = Square{file, rank};
                }
            }
            if (best.File < 0) break;
            visited[best.File][best.Rank] = true;
            tour.push_back(best);
        }
        if (tour.size() == 64) return tour;
    }
    return {};
}

std::string PositionText(const std::vector<Square>& moves) {
    std::string text;
    for (const Square& square : moves) {
        if (!text.empty()) text += ';';
        text += char('A' + square.File);
        text += char('1' + square.Rank);
    }
    return text;
}

std::vector<Square> SquaresOf(const std::wstring& positionText) {
    std::vector<Square> squares;
    for (size_t i = 0; i + 1 < positionText.size(); i += 3) {
        wchar_t letter = positionText[i], digit = positionText[i + 1];
        if (letter < L'A' || letter > L'H' || digit < L'1' || digit > L'8') break;
        squares.push_back(Square{letter - L'A', digit - L'1'});
        if (i + 2 < positionText.size() && positionText[i + 2] != L';') break;
    }
    return squares;
}

// ---------------------------------------------------------------- pictures of the board

bool BoardPicture::SameSquare(const BoardPicture& other, Square square) const {
    if (cell_ != other.cell_) return false;
    for (int y = 0; y < cell_; ++y)
        for (int x = 0; x < cell_; ++x)
            if (InSquare(square, x, y) != other.InSquare(square, x, y)) return false;
    return true;
}

void BoardPicture::SaveAs(const std::wstring& path) const {
    const int side = 8 * cell_;
    BITMAPFILEHEADER header{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = side;
    info.biHeight = -side;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    std::string bytes(sizeof header + sizeof info, '\0');
    header.bfType = 0x4D42;
    header.bfOffBits = DWORD(sizeof header + sizeof info);
    header.bfSize = header.bfOffBits + DWORD(side * side * 4);
    std::memcpy(&bytes[0], &header, sizeof header);
    std::memcpy(&bytes[sizeof header], &info, sizeof info);
    for (COLORREF colour : pixels_) {
        bytes += char(GetBValue(colour));
        bytes += char(GetGValue(colour));
        bytes += char(GetRValue(colour));
        bytes += '\0';
    }
    WriteWholeFile(path, bytes);
}

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

bool Game::IsChecked(int id) const {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(Control(id), BM_GETCHECK, 0, 0, SMTO_NORMAL, ReplyTimeoutMs, &state);
    return state == BST_CHECKED;
}

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

// Posted key messages do not change the keyboard state that the accelerator
// table looks at, so Ctrl must really be held: the keys go through the input
// queue of the window in front, as typed keys do.
void Game::PressCtrlKey(UINT virtualKey) {
    SetForegroundWindow(main_);
    INPUT keys[4] = {};
    const WORD order[4][2] = {{VK_CONTROL, 0}, {WORD(virtualKey), 0}, {WORD(virtualKey), KEYEVENTF_KEYUP},
                              {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i][0];
        keys[i].ki.wScan = WORD(MapVirtualKeyW(order[i][0], MAPVK_VK_TO_VSC));
        keys[i].ki.dwFlags = order[i][1];
    }
    SendInput(4, keys, sizeof(INPUT));
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

// The screen's pixels under the board, copied at once: reading the screen's
// device context gives the colours exactly as the program drew them.
BoardPicture Game::LookAtBoard() {
    WaitUntilIdle();
    const int c = CellSize();
    const int side = 8 * c;
    if (side <= 0) return {};
    POINT origin{0, 0};
    ClientToScreen(Board(), &origin);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<COLORREF> pixels;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, side, side, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* bgrx = static_cast<const unsigned char*>(bits);
        pixels.resize(size_t(side) * size_t(side));
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return BoardPicture(c, std::move(pixels));
}

// ---------------------------------------------------------------- the list of position names

std::vector<std::wstring> Game::ListedNames() const {
    std::vector<std::wstring> names;
    HWND combo = Control(1042);
    DWORD_PTR count = 0;
    if (!combo || !SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_NORMAL, ReplyTimeoutMs, &count)) return names;
    for (int i = 0; i < int(LONG_PTR(count)); ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, WPARAM(i), 0, SMTO_NORMAL, ReplyTimeoutMs, &length);
        std::wstring name(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(&name[0]), SMTO_NORMAL,
                            ReplyTimeoutMs, &copied);
        name.resize(LONG_PTR(copied) > 0 ? copied : 0);
        names.push_back(name);
    }
    return names;
}

// The field's text is selected and the characters are typed over it, posted
// to the program's queue like typed characters, so that the program sees them
// pass and updates its buttons afterwards. Only the characters arrive, not the
// key presses: a blank comes in as it would by pasting.
void Game::EnterName(const std::wstring& name) {
    HWND edit = NameListEdit();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, ReplyTimeoutMs, &ignored);
    if (name.empty()) PostMessageW(edit, WM_CHAR, VK_BACK, 1);
    for (wchar_t c : name) PostMessageW(edit, WM_CHAR, c, 1);
    WaitUntilIdle();
}

HWND Game::NameListEdit() const { return FindWindowExW(Control(1042), nullptr, L"Edit", nullptr); }

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

// ---------------------------------------------------------------- figures of the process

namespace {

// The kernel handle count of a process from the system's list of processes
// (where Wine keeps it; GetProcessHandleCount does not follow other
// processes there). In the x64 layout of an entry it follows the process id
// and the parent's id.
long KernelHandleCount(DWORD processId) {
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    const ULONG SystemProcessInformation = 5;
    static std::vector<char> list(1 << 20);
    ULONG length = 0;
    if (!query || query(SystemProcessInformation, list.data(), ULONG(list.size()), &length) != 0) return -1;
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const ProcessEntry*>(list.data() + offset);
        if (DWORD(reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId)) == processId) {
            ULONG count = 0;
            std::memcpy(&count, list.data() + offset + sizeof(ProcessEntry) + sizeof(HANDLE), sizeof count);
            return long(count);
        }
        if (entry->NextEntryOffset == 0) return -1;
        offset += entry->NextEntryOffset;
    }
}

// Wine keeps each process's GDI handles in a table that the process's
// environment block points to (GdiSharedHandleTable, at 0xF8 on x64): 65,536
// entries of 24 bytes, the object's type in byte 14, 0 when the entry is free.
long GdiObjectsFromWineTable(HANDLE process) {
    using QueryInformationProcess = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryInformationProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, &length) != 0) return -1;
    ULONG64 table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + 0xF8, &table, sizeof table,
                           &read) ||
        table == 0)
        return -1;
    const size_t EntrySize = 24, Entries = 0x10000;
    std::vector<unsigned char> entries(EntrySize * Entries);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(), &read) ||
        read != entries.size())
        return -1;
    long count = 0;
    for (size_t i = 0; i < Entries; ++i) count += entries[i * EntrySize + 14] != 0;
    return count;
}

struct WindowCount {
    DWORD ProcessId;
    long Count;
};

BOOL CALLBACK CountChildWindow(HWND, LPARAM parameter) {
    ++reinterpret_cast<WindowCount*>(parameter)->Count;
    return TRUE;
}

BOOL CALLBACK CountWindowsOfProcess(HWND window, LPARAM parameter) {
    auto* count = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->ProcessId) {
        ++count->Count;
        EnumChildWindows(window, CountChildWindow, parameter);
    }
    return TRUE;
}

}  // namespace

ProcessFigures FiguresOf(const Game& game) {
    ProcessFigures figures;
    DWORD processId = 0;
    if (!game.MainWindow() || !GetWindowThreadProcessId(game.MainWindow(), &processId)) return figures;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return figures;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        figures.WorkingSet = static_cast<long long>(memory.WorkingSetSize);
        if (memory.PrivateUsage != 0) figures.PrivateBytes = static_cast<long long>(memory.PrivateUsage);
    }
    figures.KernelHandles = KernelHandleCount(processId);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    if (gdi != 0 || user != 0) {
        figures.GdiObjects = long(gdi);
        figures.UserObjects = long(user);
    } else {
        figures.GdiObjects = GdiObjectsFromWineTable(process);
    }
    WindowCount windows{processId, 0};
    EnumWindows(CountWindowsOfProcess, reinterpret_cast<LPARAM>(&windows));
    figures.Windows = windows.Count;
    CloseHandle(process);
    return figures;
}

std::string Describe(const ProcessFigures& figures) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "working set %lld KB, private %lld KB, kernel handles %ld, GDI objects %ld, USER objects %ld, "
                  "windows %ld",
                  figures.WorkingSet < 0 ? -1 : figures.WorkingSet / 1024,
                  figures.PrivateBytes < 0 ? -1 : figures.PrivateBytes / 1024, figures.KernelHandles,
                  figures.GdiObjects, figures.UserObjects, figures.Windows);
    return line;
}

}  // namespace e2e
