// The main window as a player meets it: what it shows at start, how the side
// panel folds, which keys and actions close it, and how the settings file
// shapes it.
#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

#include <algorithm>
#include <functional>

using namespace e2e;

namespace {

const int DefaultBoardSide = 8 * 70;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// What every control of the side panel shows at the start of a game.
struct ControlAtStart {
    int Id;
    const wchar_t* Text;
    bool Shown;
    bool Enabled;  // looked at only when shown
};

const ControlAtStart PanelAtStart[] = {
    {PreferencesButton, L"Preferences...", true, true},
    {NoHintsBox, L"No hints", true, true},
    {MuteBox, L"Mute", true, true},
    {NewGameButton, L"New game", true, false},
    {SolutionButton, L"Solution", true, false},
    {BackButton, L"<", true, false},
    {AdviceButton, L"?", true, false},
    {FirstButton, L"|<", false, false},
    {ForwardButton, L">", false, false},
    {LastButton, L">|", false, false},
    {BrowseFrame, L"Browse", false, false},
    {LoadButton, L"Load", true, false},
    {SaveButton, L"Save", true, false},
    {PositionNames, L"", true, true},
    {HelpButton, L"Help", true, true},
    {AboutButton, L"About", true, true},
    {ExitButton, L"Exit", true, true},
};

void CheckPanelAtStart(Game& game) {
    for (const ControlAtStart& control : PanelAtStart) {
        CaseLabel label("control " + std::to_string(control.Id) + " " + Describe(control.Text));
        if (!CHECK(game.Control(control.Id) != nullptr)) continue;
        CHECK_EQ(game.TextOf(control.Id), std::wstring(control.Text));
        CHECK_EQ(game.IsShown(control.Id), control.Shown);
        if (control.Shown) CHECK_EQ(game.IsEnabled(control.Id), control.Enabled);
    }
    CHECK(game.FindMessageBox() == nullptr);
}

// The board of side S at the client origin, the divider at x = S, the panel
// 10 pixels right of the board, the bottom group anchored to the bottom, the
// client area S high and the window S + W + 40 wide (W: the width of
// "Preferences...").
void CheckLayoutAroundBoard(Game& game, int S) {
    RECT board = game.BoardRectInClient();
    CHECK_EQ(board.left, 0L);
    CHECK_EQ(board.top, 0L);
    CHECK_EQ(Width(board), S);
    CHECK_EQ(Height(board), S);

    RECT divider = game.ControlRectInClient(Divider);
    CHECK_EQ(divider.left, long(S));
    CHECK_EQ(divider.top, 0L);
    CHECK_EQ(Width(divider), 5);
    CHECK_EQ(Height(divider), S);
    CHECK(game.IsShown(Divider));

    RECT preferences = game.ControlRectInClient(PreferencesButton);
    CHECK_EQ(preferences.left, long(S + 10));
    int W = Width(preferences);
    int H = Height(preferences);
    CHECK_EQ(game.ControlRectInClient(HelpButton).top, long(S - 3 * H - 20));
    CHECK_EQ(game.ControlRectInClient(AboutButton).top, long(S - 2 * H - 15));
    CHECK_EQ(game.ControlRectInClient(ExitButton).top, long(S - H - 10));
    CHECK_EQ(game.ControlRectInClient(ExitButton).left, long(S + 10));

    CHECK_EQ(Height(game.ClientRect()), S);
    CHECK_EQ(Width(game.WindowRect()), S + W + 40);
}

void CheckCentredOnScreen(Game& game) {
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT window = game.WindowRect();
    int freeLeft = window.left - workArea.left, freeRight = workArea.right - window.right;
    int freeTop = window.top - workArea.top, freeBottom = workArea.bottom - window.bottom;
    CHECK(std::abs(freeLeft - freeRight) <= 1);
    CHECK(std::abs(freeTop - freeBottom) <= 1);
}

void CheckClosesNormally(Game& game) {
    game.Press(ExitButton);
    DWORD code = 0;
    CHECK(game.WaitForExit(10000, &code));
    CHECK_EQ(code, NormalExitCode);
}

}  // namespace

E2E_TEST(start_shows_the_board_and_the_side_panel) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());

    CHECK_EQ(game.Caption(), std::wstring(L"Orvan's Knight"));
    CheckLayoutAroundBoard(game, DefaultBoardSide);
    CheckCentredOnScreen(game);
    CheckPanelAtStart(game);
}

E2E_TEST(space_and_the_divider_fold_the_side_panel) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    const int S = DefaultBoardSide;
    const int W = Width(game.ControlRectInClient(PreferencesButton));
    const RECT atStart = game.WindowRect();

    struct Step {
        const char* Action;
        std::function<void(Game&)> Do;
        bool PanelShown;
    };
    const Step steps[] = {
        {"Space", [](Game& g) { g.PressKey(VK_SPACE); }, false},
        {"Space again", [](Game& g) { g.PressKey(VK_SPACE); }, true},
        {"a click on the divider",
         [](Game& g) {
             RECT divider = g.ControlRectInClient(Divider);
             g.ClickInClient(divider.left + 2, (divider.top + divider.bottom) / 2);
         },
         false},
        {"Space after the divider", [](Game& g) { g.PressKey(VK_SPACE); }, true},
    };
    for (const Step& step : steps) {
        CaseLabel label(step.Action);
        step.Do(game);
        game.WaitUntilIdle();
        RECT window = game.WindowRect();
        CHECK_EQ(window.left, atStart.left);
        CHECK_EQ(window.top, atStart.top);
        CHECK_EQ(Width(window), step.PanelShown ? S + W + 40 : S + 20);
        CHECK_EQ(Height(game.ClientRect()), S);
        CHECK_EQ(game.ControlRectInClient(Divider).left, long(S));
        CHECK(game.IsShown(Divider));
        if (step.PanelShown) CHECK_EQ(game.ControlRectInClient(PreferencesButton).left, long(S + 10));
    }
    CHECK(game.IsRunning());
}

E2E_TEST(enter_and_escape_do_not_close_the_window) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    const RECT atStart = game.WindowRect();

    struct Key {
        const char* Name;
        UINT VirtualKey;
    };
    const Key keys[] = {{"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}};
    for (const Key& key : keys) {
        CaseLabel label(key.Name);
        game.PressKey(key.VirtualKey);
        game.WaitUntilIdle();
        CHECK(game.IsRunning());
        CHECK(IsWindow(game.MainWindow()) && IsWindowVisible(game.MainWindow()));
        CHECK_EQ(Width(game.WindowRect()), Width(atStart));
        CHECK(game.FindMessageBox() == nullptr);
    }
    CheckClosesNormally(game);
}

E2E_TEST(every_way_of_closing_ends_with_exit_code_2) {
    struct WayToClose {
        const char* Name;
        std::function<void(Game&)> Do;
    };
    const WayToClose ways[] = {
        {"the Exit button", [](Game& g) { g.Press(ExitButton); }},
        {"the close box", [](Game& g) { g.CloseBox(); }},
        {"WM_CLOSE", [](Game& g) { g.SendCloseMessage(); }},
        {"Alt+F4", [](Game& g) { g.PressAltF4(); }},
    };
    RemoveSettingsFile();
    for (const WayToClose& way : ways) {
        CaseLabel label(way.Name);
        Game game;
        if (!CHECK(game.Start())) continue;
        way.Do(game);
        DWORD code = 0;
        CHECK(game.WaitForExit(10000, &code));
        CHECK_EQ(code, NormalExitCode);
    }
}

E2E_TEST(command_line_arguments_change_nothing) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start(L"/cellsize 100 --fold -x \"C:\\no such folder\\position.txt\""));

    CHECK_EQ(game.Caption(), std::wstring(L"Orvan's Knight"));
    CheckLayoutAroundBoard(game, DefaultBoardSide);
    CheckPanelAtStart(game);
    CheckClosesNormally(game);
    CHECK(!SettingsFileExists());
}

E2E_TEST(starting_and_exiting_writes_no_settings_file) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    CHECK(!SettingsFileExists());
    CheckClosesNormally(game);
    CHECK(!SettingsFileExists());
}

E2E_TEST(settings_file_sets_the_size_of_the_board) {
    struct SettingsCase {
        const char* Name;
        std::string Bytes;
        int ExpectedCellSize;
    };
    const std::string garbage("\x00\xff\xfe<Cell\x01Size>\x9c\x80</Cell\xf0>\r\n<<>>&#;\x7f\x00xyz", 36);
    const SettingsCase cases[] = {
        {"CellSize 20 is raised to the smallest size", "<CellSize>20</CellSize>\r\n", 70},
        {"CellSize 100", "<CellSize>100</CellSize>\r\n", std::min(100, MaxCellSizeOnThisScreen())},
        {"garbage bytes", garbage, 70},
    };
    for (const SettingsCase& settings : cases) {
        CaseLabel label(settings.Name);
        WriteSettingsFile(settings.Bytes);
        Game game;
        if (!CHECK(game.Start())) continue;
        CheckLayoutAroundBoard(game, 8 * settings.ExpectedCellSize);
        CheckPanelAtStart(game);
        CheckClosesNormally(game);
        CHECK(ReadSettingsFile() == settings.Bytes);  // read, never rewritten
    }
    RemoveSettingsFile();
}
