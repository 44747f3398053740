// Named positions: saving a game under a name (or a numbered one), loading it
// back, deleting names from the list, and the positions file beside the
// program (C:\Orvan\WOrvan.ini, section [WOrvan]) as a player leaves it.
#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace e2e;

namespace {

using Names = std::vector<std::wstring>;

void Click(Game& game, const char* square) {
    game.ClickSquare(square);
    game.WaitUntilIdle();
}

void SaveUnder(Game& game, const std::wstring& name) {
    game.EnterName(name);
    game.Press(SaveButton);
    game.WaitUntilIdle();
}

void LoadByName(Game& game, const std::wstring& name) {
    game.EnterName(name);
    game.Press(LoadButton);
    game.WaitUntilIdle();
}

// The buttons whose state follows the game.
struct GameButtons {
    bool NewGame, Solution, Save, Back, Advice, Browse;
    bool operator==(const GameButtons& o) const {
        return NewGame == o.NewGame && Solution == o.Solution && Save == o.Save && Back == o.Back &&
               Advice == o.Advice && Browse == o.Browse;
    }
};

GameButtons ButtonsOf(Game& game) {
    game.WaitUntilIdle();
    return GameButtons{game.IsEnabled(NewGameButton), game.IsEnabled(SolutionButton), game.IsEnabled(SaveButton),
                       game.IsEnabled(BackButton),    game.IsEnabled(AdviceButton),   game.IsShown(BrowseFrame)};
}

const GameButtons EmptyBoardButtons{false, false, false, false, false, false};

// Every square in one of the two plain colours of a new game.
bool BoardIsEmpty(const BoardPicture& board, const BoardPicture& newGame) { return board == newGame; }

bool FileHasLine(const std::string& file, const std::string& line) {
    size_t at = file.find(line);
    while (at != std::string::npos) {
        bool startsLine = at == 0 || file[at - 1] == '\n';
        size_t end = at + line.size();
        bool endsLine = end == file.size() || file[end] == '\r' || file[end] == '\n';
        if (startsLine && endsLine) return true;
        at = file.find(line, at + 1);
    }
    return false;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

E2E_TEST(saving_without_a_name_numbers_the_positions) {
    RemoveSettingsFile();
    RemovePositionsFile();
    Game game;
    REQUIRE(game.Start());

    struct Save {
        std::vector<const char*> Moves;  // clicked before saving
        const char* Key;
        const char* Value;
        Names Listed;
    };
    const Save saves[] = {
        {{"a1", "b3", "c1"}, "case #1", "A1;B3;C1", {L"case #1"}},
        {{"d3"}, "case #2", "A1;B3;C1;D3", {L"case #1", L"case #2"}},
        {{"f4", "h5"}, "case #3", "A1;B3;C1;D3;F4;H5", {L"case #1", L"case #2", L"case #3"}},
    };
    std::vector<std::string> lines;
    for (const Save& save : saves) {
        CaseLabel label(save.Key);
        for (const char* square : save.Moves) Click(game, square);
        game.Press(SaveButton);
        game.WaitUntilIdle();
        lines.push_back(std::string(save.Key) + "=" + save.Value);

        CHECK_EQ(StoredPosition(Wide(save.Key)), Wide(save.Value));
        CHECK(StoredPositionNames().size() == lines.size());
        const std::string file = ReadPositionsFile();
        CHECK(FileHasLine(file, "[WOrvan]"));
        for (const std::string& line : lines) CHECK(FileHasLine(file, line));
        CHECK(game.ListedNames() == save.Listed);
        CHECK_EQ(game.TextOf(PositionNames), std::wstring());
        CHECK(game.FindMessageBox() == nullptr);
    }
}

E2E_TEST(a_named_position_comes_back_by_its_name) {
    RemoveSettingsFile();
    RemovePositionsFile();
    Game game;
    REQUIRE(game.Start());
    const BoardPicture newGame = game.LookAtBoard();

    for (const char* square : {"a1", "c2", "e3"}) Click(game, square);
    const BoardPicture threeMoves = game.LookAtBoard();
    const GameButtons threeMovesButtons = ButtonsOf(game);
    SaveUnder(game, L"My Game");
    CHECK(StoredPositionNames() == Names{L"my game"});
    CHECK_EQ(StoredPosition(L"my game"), std::wstring(L"A1;C2;E3"));
    CHECK(FileHasLine(ReadPositionsFile(), "my game=A1;C2;E3"));
    CHECK(game.ListedNames() == Names{L"my game"});
    CHECK_EQ(game.TextOf(PositionNames), std::wstring(L"My Game"));

    game.Press(NewGameButton);
    CHECK(BoardIsEmpty(game.LookAtBoard(), newGame));
    LoadByName(game, L"MY GAME");
    CHECK(game.LookAtBoard() == threeMoves);
    CHECK(ButtonsOf(game) == threeMovesButtons);
    CHECK_EQ(game.TextOf(PositionNames), std::wstring(L"MY GAME"));

    // Saved again under the same name: the new game replaces the old one.
    Click(game, "g4");
    const BoardPicture fourMoves = game.LookAtBoard();
    game.Press(SaveButton);
    game.WaitUntilIdle();
    CHECK(StoredPositionNames() == Names{L"my game"});
    CHECK_EQ(StoredPosition(L"my game"), std::wstring(L"A1;C2;E3;G4"));
    CHECK(game.ListedNames() == Names{L"my game"});

    game.Press(NewGameButton);
    LoadByName(game, L"my game");
    CHECK(game.LookAtBoard() == fourMoves);
    CHECK(game.FindMessageBox() == nullptr);
}

E2E_TEST(a_saved_tour_loads_into_the_replay_row) {
    RemoveSettingsFile();
    RemovePositionsFile();
    const std::vector<Square> tour = KnightsTourFrom(SquareNamed("b1"));
    REQUIRE(tour.size() == 64);
    Game game;
    REQUIRE(game.Start());
    game.Press(NoHintsBox);
    for (const Square& square : tour) game.ClickSquare(square);
    HWND score = game.WaitForMessageBox(30000);
    REQUIRE(score != nullptr);
    game.PressOk(score);
    const BoardPicture complete = game.LookAtBoard();

    SaveUnder(game, L"Tour");
    const std::wstring stored = StoredPosition(L"tour");
    CHECK_EQ(int(stored.size()), 191);
    CHECK_EQ(stored, Wide(PositionText(tour)));

    game.Press(NewGameButton);
    game.WaitUntilIdle();
    CHECK(!game.IsShown(BrowseFrame));
    LoadByName(game, L"tour");
    CHECK(game.FindMessageBox() == nullptr);  // a loaded tour earns no score
    CHECK(game.LookAtBoard() == complete);
    const struct {
        int Id;
        bool Enabled;
    } row[] = {{FirstButton, true}, {BackButton, true}, {ForwardButton, false}, {LastButton, false}};
    for (const auto& button : row) {
        CaseLabel label("control " + std::to_string(button.Id));
        CHECK(game.IsShown(button.Id));
        CHECK_EQ(game.IsEnabled(button.Id), button.Enabled);
    }
    CHECK(game.IsShown(BrowseFrame));
    CHECK(!game.IsShown(AdviceButton));
    CHECK(!game.IsEnabled(SolutionButton));
}

E2E_TEST(loading_a_name_not_stored_gives_an_empty_board) {
    RemoveSettingsFile();
    WritePositionsFile("[WOrvan]\r\nknown=A1;B3\r\n");
    Game game;
    REQUIRE(game.Start());
    CHECK(game.ListedNames() == Names{L"known"});
    const BoardPicture newGame = game.LookAtBoard();

    const wchar_t* notStored[] = {L"unknown", L"kno", L"known game"};
    for (const wchar_t* name : notStored) {
        CaseLabel label(Narrow(name));
        for (const char* square : {"d4", "e6", "g5"}) Click(game, square);
        REQUIRE(game.LookAtBoard() != newGame);
        LoadByName(game, name);
        CHECK(BoardIsEmpty(game.LookAtBoard(), newGame));
        CHECK(ButtonsOf(game) == EmptyBoardButtons);
        CHECK(game.FindMessageBox() == nullptr);
    }
    CHECK(game.ListedNames() == Names{L"known"});
    CHECK(StoredPositionNames() == Names{L"known"});

    LoadByName(game, L"Known");
    CHECK(game.LookAtBoard() != newGame);
    CHECK(ButtonsOf(game) == (GameButtons{true, true, true, true, true, false}));
}

E2E_TEST(load_is_offered_once_a_name_is_typed_and_names_are_listed) {
    RemoveSettingsFile();
    RemovePositionsFile();
    Game game;
    REQUIRE(game.Start());
    struct Step {
        const char* Action;
        std::function<void(Game&)> Do;
        bool LoadEnabled;
    };
    const Step steps[] = {
        {"start, nothing listed", [](Game&) {}, false},
        {"a name typed, nothing listed", [](Game& g) { g.EnterName(L"abc"); }, false},
        {"a move saved under it", [](Game& g) { Click(g, "a1"); g.Press(SaveButton); }, true},
        {"the name field emptied", [](Game& g) { g.EnterName(L""); }, false},
        {"a name typed that is not listed", [](Game& g) { g.EnterName(L"zzz"); }, true},
    };
    for (const Step& step : steps) {
        CaseLabel label(step.Action);
        step.Do(game);
        game.WaitUntilIdle();
        CHECK_EQ(game.IsEnabled(LoadButton), step.LoadEnabled);
    }
    CHECK(game.ListedNames() == Names{L"abc"});
}

E2E_TEST(delete_on_the_dropped_list_removes_the_highlighted_name) {
    RemoveSettingsFile();
    WritePositionsFile("[WOrvan]\r\nalpha=A1\r\nbeta=B1\r\ngamma=C1\r\n");
    Game game;
    REQUIRE(game.Start());
    REQUIRE(game.ListedNames() == (Names{L"alpha", L"beta", L"gamma"}));

    struct Press {
        const char* Action;
        bool Dropped;
        int Highlighted;  // -1: none
        Names Left;
    };
    const Press presses[] = {
        {"list closed, beta highlighted", false, 1, {L"alpha", L"beta", L"gamma"}},
        {"list dropped, nothing highlighted", true, -1, {L"alpha", L"beta", L"gamma"}},
        {"list dropped, beta highlighted", true, 1, {L"alpha", L"gamma"}},
        {"list dropped, alpha highlighted", true, 0, {L"gamma"}},
    };
    HWND combo = game.Control(PositionNames);
    for (const Press& press : presses) {
        CaseLabel label(press.Action);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(combo, CB_SHOWDROPDOWN, press.Dropped, 0, SMTO_NORMAL, 5000, &ignored);
        SendMessageTimeoutW(combo, CB_SETCURSEL, WPARAM(press.Highlighted), 0, SMTO_NORMAL, 5000, &ignored);
        game.WaitUntilIdle();
        // The key goes through the program's own queue, past its keyboard
        // filter, as a key typed into the name field would.
        game.PressKeyOn(game.NameListEdit(), VK_DELETE);
        game.WaitUntilIdle();
        CHECK(game.ListedNames() == press.Left);
        CHECK(StoredPositionNames() == press.Left);
        for (const std::wstring& name : press.Left) CHECK(!StoredPosition(name).empty());
        SendMessageTimeoutW(combo, CB_SHOWDROPDOWN, FALSE, 0, SMTO_NORMAL, 5000, &ignored);
        game.WaitUntilIdle();
        CHECK(game.FindMessageBox() == nullptr);
    }
    CHECK_EQ(StoredPosition(L"gamma"), std::wstring(L"C1"));
}

E2E_TEST(four_hundred_saved_names_are_all_listed) {
    RemoveSettingsFile();
    std::string file = "[WOrvan]\r\n";
    Names expected;
    for (int i = 1; i <= 400; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "Position %03d=A1;B3\r\n", i);
        file += line;
        std::snprintf(line, sizeof line, "position %03d", i);
        expected.push_back(Wide(line));
    }
    WritePositionsFile(file);
    Game game;
    REQUIRE(game.Start());
    const Names listed = game.ListedNames();
    CHECK_EQ(int(listed.size()), 400);
    CHECK(listed == expected);

    // The last of them is as good as the first.
    const BoardPicture newGame = game.LookAtBoard();
    LoadByName(game, L"position 400");
    CHECK(game.LookAtBoard() != newGame);
    CHECK(game.IsEnabled(AdviceButton));  // two moves
    CHECK(game.FindMessageBox() == nullptr);
}

E2E_TEST(an_unusable_positions_file_gives_an_empty_list) {
    RemoveSettingsFile();
    struct FileCase {
        const char* Name;
        bool Exists;
        std::string Bytes;
    };
    const FileCase cases[] = {
        {"no file", false, ""},
        {"an empty file", true, ""},
        {"garbage", true, std::string("\xff\xfe\x00[\x01WOr\x9c\x80van\r\n=;=;\n[[]]\x7f\x00\xe9=\r", 29)},
        {"another section only", true, "[Other]\r\nsomething=A1;B3\r\n"},
    };
    for (const FileCase& positions : cases) {
        CaseLabel label(positions.Name);
        if (positions.Exists)
            WritePositionsFile(positions.Bytes);
        else
            RemovePositionsFile();
        Game game;
        if (!CHECK(game.Start())) continue;
        CHECK(game.ListedNames().empty());
        CHECK(game.FindMessageBox() == nullptr);
        CHECK(!game.IsEnabled(LoadButton));

        // The file takes a saved game all the same.
        Click(game, "a1");
        game.Press(SaveButton);
        game.WaitUntilIdle();
        CHECK(game.ListedNames() == Names{L"case #1"});
        CHECK_EQ(StoredPosition(L"case #1"), std::wstring(L"A1"));
        CHECK(game.FindMessageBox() == nullptr);
    }
    RemovePositionsFile();
}
