// A long game of random actions: clicks on squares, the board's buttons and
// keys, "No hints" and "Mute", folding the side panel, saving, loading and
// deleting positions, thousands of them in a row, the same ones on every run
// (the sequence is seeded). Every 100 actions the screen must agree with the
// buttons and with the game as the program itself writes it out; at the end
// the program must still be running, must not have grown without bound, and
// must end with exit code 2.
//
// WORVAN_SOAK_ACTIONS and WORVAN_SOAK_SEED in the environment give a longer
// run or another sequence, for example:
//     WORVAN_SOAK_ACTIONS=50000 ctest -R e2e.a_long_game_of_random_actions
#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace e2e;

namespace {

unsigned long FromEnvironment(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return std::strtoul(text, nullptr, 10);
}

bool OnBoard(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }
bool Same(Square a, Square b) { return a.File == b.File && a.Rank == b.Rank; }

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    return text;
}

DWORD_PTR Ask(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, 5000, &result);
    return result;
}

// Waits until the program has taken every message posted to it so far: a
// mark is posted behind them (the "modified" flag of the name field, which
// the program never looks at) and looked for. Much quicker than waiting for
// the program to go idle, which the checks every 100 actions still do.
void Settle(Game& game) {
    HWND edit = game.NameListEdit();
    Ask(edit, EM_SETMODIFY, FALSE);
    PostMessageW(edit, EM_SETMODIFY, TRUE, 0);
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!Ask(edit, EM_GETMODIFY) && game.IsRunning() && GetTickCount64() < deadline) Sleep(1);
}

bool IsKnightGreen(COLORREF p) {
    const int r = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
    return g > r + 40 && g > b + 40;
}

const wchar_t* const PositionNamePool[] = {L"alpha", L"bravo", L"charlie", L"delta", L"echo"};

// What the player does, and the state of the switches the test has set.
class Player {
public:
    Player(Game& game, unsigned seed) : game_(game), random_(seed) {}

    bool HintsOn = true;
    bool Muted = false;
    bool PanelShown = true;
    int ScoreBoxes = 0;
    int KnightMoves = 0;
    int GamesSeen[4] = {};  // at the checks: no move, 1 to 9 moves, 10 to 63, a whole tour
    int Actions = 0;
    std::vector<std::string> Problems;  // message boxes other than the score box

    void Act() {
        if (muteAgainAt_ != 0 && Actions >= muteAgainAt_ && PanelShown) {
            Toggle(MuteBox, Muted);
            muteAgainAt_ = 0;
            return;
        }
        if (spell_ > 0) {  // a spell of play: the knight is moved on and on
            --spell_;
            return ClickSquareOn(true);
        }
        if (game_.IsShown(BrowseFrame) && Below(100) < 6) return LeaveTour();
        // What is in reach, and how often it is done: with the side panel
        // folded only the board and the keyboard.
        struct Choice {
            unsigned Weight;
            void (Player::*Do)();
        };
        static const Choice WithPanel[] = {
            {3, &Player::StartSpellOfPlay}, {47, &Player::ClickSquare}, {4, &Player::ClickBurst},
            {12, &Player::BoardKey},        {14, &Player::BoardButton}, {2, &Player::ToggleHints},
            {1, &Player::Unmute},           {2, &Player::Fold},         {1, &Player::CtrlZ},
            {4, &Player::SaveNamed},        {2, &Player::SaveUnnamed},  {4, &Player::Load},
            {4, &Player::DeleteFromList},
        };
        static const Choice PanelFolded[] = {
            {3, &Player::StartSpellOfPlay}, {62, &Player::ClickSquare}, {5, &Player::ClickBurst},
            {15, &Player::BoardKey},        {12, &Player::Fold},        {3, &Player::CtrlZ},
        };
        const Choice* choice = PanelShown ? std::begin(WithPanel) : std::begin(PanelFolded);
        const Choice* last = (PanelShown ? std::end(WithPanel) : std::end(PanelFolded)) - 1;
        for (unsigned roll = Below(100); roll >= choice->Weight && choice != last; ++choice) roll -= choice->Weight;
        (this->*choice->Do)();
    }

    // Opens the side panel if it is folded (so that its controls can be read).
    void ShowPanel() {
        if (!PanelShown) Fold();
        Settle(game_);
    }

private:
    unsigned Below(unsigned n) { return unsigned(random_() % n); }

    void Done() {
        ++Actions;
        Settle(game_);
        AnswerMessageBoxes();
    }

    // Only the score box may come up; it is answered as a player would.
    void AnswerMessageBoxes() {
        while (HWND box = game_.FindMessageBox()) {
            const std::wstring text = game_.MessageBoxText(box);
            if (text.rfind(L"Congratulations!", 0) == 0)
                ++ScoreBoxes;
            else
                Problems.push_back("after action " + std::to_string(Actions) + ": \"" + Narrow(text) + "\"");
            game_.PressOk(box);
            if (!game_.IsRunning()) return;
        }
    }

    // Most clicks go a knight's move from where the knight was last seen, so
    // that games grow; the others anywhere. In a spell of play all of them.
    Square NextSquare(bool chained = false) {
        static const int Jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
        if (chained || Below(10) < 7) {
            const unsigned first = Below(8);
            for (unsigned j = 0; j < 8; ++j) {
                const int* jump = Jumps[(first + j) % 8];
                if (OnBoard(knight_.File + jump[0], knight_.Rank + jump[1]))
                    return Square{knight_.File + jump[0], knight_.Rank + jump[1]};
                if (!chained) break;
            }
        }
        return Square{int(Below(8)), int(Below(8))};
    }

    // Some 10 to 60 clicks in a row, each a knight's move on, so that games
    // also grow long; over when the knight is stuck.
    void StartSpellOfPlay() {
        spell_ = 10 + int(Below(50));
        missed_ = 0;
        ClickSquareOn(true);
    }

    // Whether the knight now stands on the square: some green in its middle.
    bool KnightOn(Square s) {
        const int c = game_.CellSize();
        POINT middle{s.File * c + c / 2, (7 - s.Rank) * c + c / 2};
        ClientToScreen(game_.Board(), &middle);
        HDC screen = GetDC(nullptr);
        int green = 0;
        for (int dy = -c / 4; dy <= c / 4; dy += c / 8)
            for (int dx = -c / 8; dx <= c / 8; dx += c / 16)
                green += IsKnightGreen(GetPixel(screen, middle.x + dx, middle.y + dy));
        ReleaseDC(nullptr, screen);
        return green >= 3;
    }

    void ClickSquare() { ClickSquareOn(false); }

    void ClickSquareOn(bool chained) {
        const Square s = NextSquare(chained);
        game_.ClickSquare(s);
        Done();
        if (KnightOn(s)) {
            knight_ = s;
            ++KnightMoves;
            missed_ = 0;
        } else if (chained && ++missed_ >= 8) {
            spell_ = 0;
        }
    }

    // Three clicks in a row without waiting: the later ones may land while
    // the search after the first one runs, and stop it.
    void ClickBurst() {
        for (int i = 0; i < 3; ++i) {
            game_.ClickSquare(NextSquare());
            ++Actions;
        }
        --Actions;
        Done();
    }

    // Every board key; those that take moves back less often than the others.
    void BoardKey() {
        static const UINT Keys[] = {'A', 'A', 'A', 'C', 'C', VK_RIGHT, VK_RIGHT, 'S',
                                    VK_END, VK_BACK, VK_LEFT, VK_HOME, VK_F2};
        game_.PressKeyOn(game_.Board(), Keys[Below(sizeof Keys / sizeof Keys[0])]);
        Done();
    }

    // The buttons that act on the board, if they are there to be pressed;
    // those that end a game less often than the others.
    void BoardButton() {
        static const int Buttons[] = {AdviceButton, AdviceButton, AdviceButton, ForwardButton, ForwardButton,
                                      BackButton,   SolutionButton, FirstButton, LastButton,   NewGameButton};
        const int id = Buttons[Below(sizeof Buttons / sizeof Buttons[0])];
        if (game_.IsShown(id) && game_.IsEnabled(id)) game_.Press(id);
        Done();
    }

    // A finished tour is left now and then: New game or F2.
    void LeaveTour() {
        if (PanelShown && Below(2) == 0)
            game_.Press(NewGameButton);
        else
            game_.PressKeyOn(game_.Board(), VK_F2);
        Done();
    }

    void ToggleHints() { Toggle(NoHintsBox, HintsOn); }

    void Toggle(int id, bool& state) {
        state = !state;
        game_.Press(id);
        Done();
    }

    // Sound comes back for a few actions only.
    void Unmute() {
        if (!Muted) return BoardKey();
        Toggle(MuteBox, Muted);
        muteAgainAt_ = Actions + 5;
    }

    void Fold() {
        game_.PressKey(VK_SPACE);
        PanelShown = !PanelShown;
        Done();
    }

    void CtrlZ() {
        game_.PressCtrlKey('Z');
        Done();
    }

    void SaveNamed() {
        game_.EnterName(PositionNamePool[Below(5)]);
        if (game_.IsEnabled(SaveButton)) game_.Press(SaveButton);
        Done();
    }

    void SaveUnnamed() {
        game_.EnterName(L"");
        if (game_.IsEnabled(SaveButton)) game_.Press(SaveButton);
        Done();
    }

    // A listed name, one of the usual names, or one never stored.
    void Load() {
        const std::vector<std::wstring> listed = game_.ListedNames();
        const unsigned roll = Below(10);
        if (roll < 6 && !listed.empty())
            game_.EnterName(listed[Below(unsigned(listed.size()))]);
        else if (roll < 9)
            game_.EnterName(PositionNamePool[Below(5)]);
        else
            game_.EnterName(L"never saved");
        if (game_.IsEnabled(LoadButton)) game_.Press(LoadButton);
        Done();
    }

    // The Delete key on the dropped list, with an entry highlighted or none.
    void DeleteFromList() {
        HWND combo = game_.Control(PositionNames);
        const int count = int(Ask(combo, CB_GETCOUNT));
        Ask(combo, CB_SHOWDROPDOWN, TRUE);
        const int index = count > 0 && Below(5) != 0 ? int(Below(unsigned(count))) : -1;
        Ask(combo, CB_SETCURSEL, WPARAM(index));
        game_.PressKeyOn(game_.NameListEdit(), VK_DELETE);
        Settle(game_);
        Ask(combo, CB_SHOWDROPDOWN, FALSE);
        Done();
    }

    Game& game_;
    std::mt19937 random_;
    Square knight_{0, 0};
    int spell_ = 0;   // clicks left in a spell of play
    int missed_ = 0;  // clicks in a row in it that moved no knight
    int muteAgainAt_ = 0;
};

// Checks that what the screen shows agrees with the game as the program
// writes it out (saved under "checkpoint"), and the buttons with both.
void CheckConsistency(Game& game, Player& player, const BoardPicture& emptyBoard) {
    game.WaitUntilIdle();
    CHECK(game.FindMessageBox() == nullptr);

    // The game as the program writes it: saved, when "Save" is offered.
    std::vector<Square> moves;
    if (game.IsEnabled(SaveButton)) {
        game.EnterName(L"checkpoint");
        game.Press(SaveButton);
        game.WaitUntilIdle();
        const std::wstring text = StoredPosition(L"checkpoint");
        moves = SquaresOf(text);
        CHECK(!moves.empty());
        CHECK_EQ(Narrow(text), PositionText(moves));  // nothing but moves
    }
    const int n = int(moves.size());
    ++player.GamesSeen[n == 0 ? 0 : n < 10 ? 1 : n < 64 ? 2 : 3];
    const bool replay = n == 64;

    // A game by the rules: knight's moves, each square once.
    for (int i = 1; i < n; ++i) CHECK(IsKnightMove(moves[size_t(i - 1)], moves[size_t(i)]));
    std::set<int> visited;
    for (const Square& s : moves) visited.insert(s.File * 8 + s.Rank);
    CHECK_EQ(int(visited.size()), n);

    // The buttons.
    CHECK_EQ(game.IsShown(FirstButton), replay);
    CHECK_EQ(game.IsShown(ForwardButton), replay);
    CHECK_EQ(game.IsShown(LastButton), replay);
    CHECK_EQ(game.IsShown(BrowseFrame), replay);
    CHECK_EQ(game.IsShown(AdviceButton), !replay);
    CHECK_EQ(game.IsEnabled(NewGameButton), n > 0);
    CHECK_EQ(game.IsEnabled(SaveButton), n > 0);
    CHECK_EQ(game.IsEnabled(SolutionButton), n > 0 && !replay);
    if (replay) {
        CHECK_EQ(game.IsEnabled(FirstButton), game.IsEnabled(BackButton));
        CHECK_EQ(game.IsEnabled(ForwardButton), game.IsEnabled(LastButton));
        CHECK(game.IsEnabled(FirstButton) || game.IsEnabled(LastButton));
    } else {
        CHECK_EQ(game.IsEnabled(BackButton), n > 0);
        CHECK_EQ(game.IsEnabled(AdviceButton), n >= 2);
    }
    const std::vector<std::wstring> listed = game.ListedNames();
    CHECK_EQ(game.IsEnabled(LoadButton), !listed.empty() && !game.TextOf(PositionNames).empty());
    CHECK_EQ(game.IsChecked(NoHintsBox), !player.HintsOn);
    CHECK_EQ(game.IsChecked(MuteBox), player.Muted);

    // The list of names and the file's keys are the same names.
    std::vector<std::wstring> stored = StoredPositionNames();
    for (std::wstring& name : stored) name = Lower(name);
    std::vector<std::wstring> shown = listed;
    std::sort(stored.begin(), stored.end());
    std::sort(shown.begin(), shown.end());
    CHECK(shown == stored);

    // The board: every move's square is drawn over; besides them at most the
    // hint, a knight's move from the last move (anywhere on an empty board).
    // The knight stands on exactly one square: the last move's in play.
    const BoardPicture board = game.LookAtBoard();
    if (!CHECK(!board.Empty() && board.CellSize() == emptyBoard.CellSize())) return;
    const int c = board.CellSize();
    std::vector<Square> drawnOver, knights;
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) {
            const Square s{file, rank};
            if (!board.SameSquare(emptyBoard, s)) drawnOver.push_back(s);
            if (board.Count(s, 0, 0, c, c, IsKnightGreen) > c * c / 20) knights.push_back(s);
        }
    auto isMove = [&](Square s) {
        return std::any_of(moves.begin(), moves.end(), [s](Square m) { return Same(m, s); });
    };
    for (const Square& s : moves) {
        CaseLabel label("move on " + NameOf(s));
        CHECK(!board.SameSquare(emptyBoard, s));
    }
    std::vector<Square> others;
    for (const Square& s : drawnOver)
        if (!isMove(s)) others.push_back(s);
    CHECK(others.size() <= 1);
    if (others.size() == 1 && n > 0) {
        CaseLabel label("hint on " + NameOf(others[0]));
        CHECK(!replay);
        CHECK(IsKnightMove(moves.back(), others[0]));
    }
    CHECK_EQ(int(knights.size()), n > 0 ? 1 : 0);
    if (knights.size() == 1 && n > 0) {
        CHECK(isMove(knights[0]));
        if (!replay) CHECK(Same(knights[0], moves.back()));
    }
}

// At most twice the figure after the warm-up and a margin; a figure this
// system cannot give (-1 at both ends) passes.
bool NotGrown(long long start, long long end, long long margin) {
    if (start < 0 && end < 0) return true;
    return start >= 0 && end >= 0 && end <= 2 * start + margin;
}

}  // namespace

E2E_TEST(a_long_game_of_random_actions) {
    const unsigned long seed = FromEnvironment("WORVAN_SOAK_SEED", 20240611);
    const int total = int(FromEnvironment("WORVAN_SOAK_ACTIONS", 5000));
    const int warmUp = 300;
    std::printf("seed %lu, %d actions\n", seed, total);

    // A short time limit keeps the searches after clicks short.
    WriteSettingsFile("<CalcDuration>100</CalcDuration>\r\n");
    WritePositionsFile("[WOrvan]\r\nalpha=A1;B3;C1\r\nbravo=H8\r\n");
    Game game;
    REQUIRE(game.Start());
    const ULONGLONG started = GetTickCount64();
    const BoardPicture emptyBoard = game.LookAtBoard();
    REQUIRE(!emptyBoard.Empty());

    Player player(game, unsigned(seed));
    game.Press(MuteBox);  // sound on only now and then
    player.Muted = true;
    Settle(game);

    ProcessFigures atStart;
    bool warm = false;
    int nextCheck = 100;
    while (player.Actions < total) {
        player.Act();
        if (!warm && player.Actions >= warmUp) {
            warm = true;
            game.WaitUntilIdle();
            atStart = FiguresOf(game);
            std::printf("after %d actions (%llu s): %s\n", player.Actions, (GetTickCount64() - started) / 1000,
                        Describe(atStart).c_str());
        }
        if (player.Actions >= nextCheck) {
            nextCheck += 100;
            if (!CHECK(game.IsRunning())) break;
            CaseLabel label("after " + std::to_string(player.Actions) + " actions");
            player.ShowPanel();
            CheckConsistency(game, player, emptyBoard);
            if (player.Actions % 1000 < 100)
                std::printf("after %d actions (%llu s): %s\n", player.Actions,
                            (GetTickCount64() - started) / 1000, Describe(FiguresOf(game)).c_str());
            std::fflush(stdout);
        }
    }
    REQUIRE(game.IsRunning());
    game.WaitUntilIdle();
    const ProcessFigures atEnd = FiguresOf(game);
    std::printf("at the end, %d actions (%llu s): %s\n", player.Actions, (GetTickCount64() - started) / 1000,
                Describe(atEnd).c_str());
    std::printf("knight moves made by clicks: %d; score boxes: %d; games at the checks: %d empty, %d of 1-9 moves, "
                "%d of 10-63, %d whole tours\n",
                player.KnightMoves, player.ScoreBoxes, player.GamesSeen[0], player.GamesSeen[1], player.GamesSeen[2],
                player.GamesSeen[3]);
    for (const std::string& problem : player.Problems) std::printf("message box %s\n", problem.c_str());
    CHECK(player.Problems.empty());

    // Nothing grows without bound: at most twice the figures after the warm-up
    // and a little more.
    CHECK(atStart.WorkingSet > 0);
    CHECK(atStart.GdiObjects > 0);
    CHECK(NotGrown(atStart.WorkingSet, atEnd.WorkingSet, 16ll << 20));
    CHECK(NotGrown(atStart.PrivateBytes, atEnd.PrivateBytes, 16ll << 20));
    CHECK(NotGrown(atStart.KernelHandles, atEnd.KernelHandles, 20));
    CHECK(NotGrown(atStart.GdiObjects, atEnd.GdiObjects, 20));
    CHECK(NotGrown(atStart.UserObjects, atEnd.UserObjects, 20));
    CHECK(NotGrown(atStart.Windows, atEnd.Windows, 2));

    player.ShowPanel();
    game.Press(ExitButton);
    DWORD code = 0;
    CHECK(game.WaitForExit(10000, &code));
    CHECK_EQ(code, NormalExitCode);
    RemovePositionsFile();
    RemoveSettingsFile();
}
