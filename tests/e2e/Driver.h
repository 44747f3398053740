// Drives the real WOrvan.exe from outside, through its windows, the way a
// player would: start it, wait until its main window is ready, press buttons,
// press keys, click squares, look at the screen, close it.
//
// The driver runs under Wine in the same prefix as the program, so the
// program's settings file is the driver's %APPDATA%\Darnholt\WOrvan\WOrvan.cfg.
// Nothing here needs a hook inside the program.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A board square: File 0..7 is a..h from the left, Rank 0..7 is 1..8 from the bottom.
struct Square {
    int File;
    int Rank;
};

// The program under test: C:\Orvan\WOrvan.exe in the test's own Wine prefix.
void SetProgramPath(const std::wstring& path);
const std::wstring& ProgramPath();

// "a1" -> {0, 0}, "h8" -> {7, 7}.
Square SquareNamed(const char* name);

// Where to look inside a square.
enum class SquarePoint { Centre, TopLeftCorner };

// The largest cell size the program allows on this screen: the eight rows of
// the board, the dialog frame and the caption fit the height of the work area.
int MaxCellSizeOnThisScreen();

// Any file in the test's prefix, byte for byte.
void WriteWholeFile(const std::wstring& path, const std::string& bytes);
std::string ReadWholeFile(const std::wstring& path);

// The per-user settings file of the program.
std::wstring SettingsFilePath();
bool SettingsFileExists();
void WriteSettingsFile(const std::string& bytes);
std::string ReadSettingsFile();
void RemoveSettingsFile();

// The positions file beside the program (C:\Orvan\WOrvan.ini), and what a
// private-profile reader finds in its section [WOrvan].
std::wstring PositionsFilePath();
void WritePositionsFile(const std::string& bytes);
std::string ReadPositionsFile();
void RemovePositionsFile();
std::vector<std::wstring> StoredPositionNames();       // in the order of the file
std::wstring StoredPosition(const std::wstring& name);  // "" when not stored

// A knight's tour from the given square (64 squares), found by always jumping
// to the free square with the fewest onward jumps; empty when that fails.
std::vector<Square> KnightsTourFrom(Square start);
// The moves as the program writes them: "A1;B3;C1".
std::string PositionText(const std::vector<Square>& moves);
// The squares of a position text written that way; reading stops at the
// first token that is not a square.
std::vector<Square> SquaresOf(const std::wstring& positionText);
bool IsKnightMove(Square from, Square to);
std::string NameOf(Square square);  // "a1"

// The board as the screen shows it, read in one go.
class BoardPicture {
public:
    BoardPicture() = default;
    BoardPicture(int cellSize, std::vector<COLORREF> pixels) : cell_(cellSize), pixels_(std::move(pixels)) {}
    int CellSize() const { return cell_; }
    bool Empty() const { return pixels_.empty(); }
    // A pixel of the board, from its top-left corner.
    COLORREF At(int x, int y) const { return pixels_[size_t(y) * size_t(8 * cell_) + size_t(x)]; }
    // A pixel of a square, from the square's top-left corner.
    COLORREF InSquare(Square square, int x, int y) const {
        return At(square.File * cell_ + x, (7 - square.Rank) * cell_ + y);
    }
    // How many pixels of the square's part (x, y, width, height) satisfy the test.
    template <typename Test>
    int Count(Square square, int x, int y, int width, int height, Test test) const {
        int count = 0;
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column)
                if (test(InSquare(square, column, row))) ++count;
        return count;
    }
    bool SameSquare(const BoardPicture& other, Square square) const;
    bool operator==(const BoardPicture& other) const { return cell_ == other.cell_ && pixels_ == other.pixels_; }
    bool operator!=(const BoardPicture& other) const { return !(*this == other); }
    // Writes a .bmp, for a person looking into a failure.
    void SaveAs(const std::wstring& path) const;

private:
    int cell_ = 0;
    std::vector<COLORREF> pixels_;
};

// One run of the program.
class Game {
public:
    Game() = default;
    ~Game();  // closes the program if it still runs, kills it if it will not close
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Starts the program (with extra command-line arguments, if any) and
    // waits until its main window is ready. False when it did not get there;
    // Problem() then says why.
    bool Start(const std::wstring& extraArguments = L"");
    const std::string& Problem() const { return problem_; }

    // --- the main window and its controls ---
    HWND MainWindow() const { return main_; }
    HWND Control(int id) const;
    HWND Board() const;
    std::wstring Caption() const;
    std::wstring TextOf(int id) const;
    bool IsShown(int id) const;    // IsWindowVisible
    bool IsEnabled(int id) const;  // IsWindowEnabled
    bool IsChecked(int id) const;  // BM_GETCHECK
    RECT WindowRect() const;                   // the main window, frame included, screen coordinates
    RECT ClientRect() const;                   // the main window's client area, screen coordinates
    RECT ControlRectInClient(int id) const;    // a control, client coordinates of the main window
    RECT BoardRectInClient() const;

    // --- what the player does ---
    void Press(int id);                        // a click on a button (BM_CLICK)
    void PressKey(UINT virtualKey);            // a key press on the control that has the focus
    void PressKeyOn(HWND window, UINT virtualKey);  // a key press addressed to the given window
    void PressAltF4();
    // A key pressed with Ctrl held, typed on the keyboard (SendInput) into the
    // program's window, which is brought to the front first.
    void PressCtrlKey(UINT virtualKey);
    void CloseBox();                           // the caption's close box (SC_CLOSE)
    void SendCloseMessage();                   // WM_CLOSE to the main window
    void ClickInClient(int x, int y);          // a left click on the main window's own surface
    void ClickSquare(Square square);           // a left click in the middle of a board square
    void ClickSquare(const char* name) { ClickSquare(SquareNamed(name)); }

    // Waits until the program has handled everything sent to it so far and
    // has gone idle (its idle update has run and the screen is drawn).
    void WaitUntilIdle();

    // --- the screen ---
    COLORREF PixelOnScreen(int x, int y) const;
    COLORREF PixelOfSquare(Square square, SquarePoint where = SquarePoint::Centre);
    int CellSize() const;  // the board's side / 8
    // The whole board as it is on the screen, once the program is idle.
    BoardPicture LookAtBoard();

    // --- the list of position names (combo box 1042) ---
    std::vector<std::wstring> ListedNames() const;  // its entries, in order
    void EnterName(const std::wstring& name);       // types the name over the text of its edit field
    HWND NameListEdit() const;                       // its edit field

    // --- message boxes: any #32770 window of the program other than the main window ---
    HWND FindMessageBox() const;               // none: nullptr
    HWND WaitForMessageBox(DWORD milliseconds = 10000);
    std::wstring MessageBoxText(HWND box) const;
    std::wstring MessageBoxCaption(HWND box) const;
    void PressOk(HWND box);

    // --- the end ---
    bool IsRunning() const;
    // True when the process ended within the time; exitCode gets its code.
    bool WaitForExit(DWORD milliseconds, DWORD* exitCode);

private:
    bool FindMainWindow();
    HWND FocusedWindow() const;
    void PostKey(HWND target, UINT down, UINT up, UINT virtualKey, LPARAM extraBits);
    void CloseOrKill();

    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    std::string problem_;
};

// Text helpers for messages.
std::string Narrow(const std::wstring& text);
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);

// What the system tells about the program's process, for watching it over a
// long game. A figure that this system cannot give is -1.
struct ProcessFigures {
    long long WorkingSet = -1;    // bytes in memory
    long long PrivateBytes = -1;  // bytes committed for the process alone
    long KernelHandles = -1;
    long GdiObjects = -1;   // GetGuiResources; under Wine, which has no such count, the live
                            // entries of the process's table of GDI handles
    long UserObjects = -1;  // GetGuiResources; unknown under Wine
    long Windows = -1;      // windows of the process, top-level and children
};
ProcessFigures FiguresOf(const Game& game);
std::string Describe(const ProcessFigures& figures);  // one line, for the log

}  // namespace e2e
