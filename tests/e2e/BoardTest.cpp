// Playing on the board: clicks on squares, what the buttons of the side panel
// make of them, what the board looks like on the screen, and the score box.
#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

#include <cstdio>
#include <vector>

using namespace e2e;

namespace {

struct ButtonState {
    int Id;
    bool Shown;
    bool Enabled;
};

void CheckButtons(Game& game, const std::vector<ButtonState>& expected) {
    for (const ButtonState& button : expected) {
        CaseLabel label("control " + std::to_string(button.Id));
        CHECK_EQ(game.IsShown(button.Id), button.Shown);
        if (button.Shown) CHECK_EQ(game.IsEnabled(button.Id), button.Enabled);
    }
}

bool IsChecked(Game& game, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(game.Control(id), BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
    return state == BST_CHECKED;
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

}  // namespace

E2E_TEST(first_moves_enable_the_game_buttons) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());

    struct Move {
        const char* Square;
        std::vector<ButtonState> Buttons;
    };
    const Move moves[] = {
        {"a1",
         {{NewGameButton, true, true},
          {SolutionButton, true, true},
          {SaveButton, true, true},
          {BackButton, true, true},
          {AdviceButton, true, false},
          {ForwardButton, false, false},
          {BrowseFrame, false, false}}},
        {"b3",
         {{NewGameButton, true, true},
          {SolutionButton, true, true},
          {SaveButton, true, true},
          {BackButton, true, true},
          {AdviceButton, true, true},
          {ForwardButton, false, false},
          {BrowseFrame, false, false}}},
    };
    for (const Move& move : moves) {
        CaseLabel label(std::string("after a click on ") + move.Square);
        game.ClickSquare(move.Square);
        game.WaitUntilIdle();
        CheckButtons(game, move.Buttons);
        CHECK(game.FindMessageBox() == nullptr);
    }
}

E2E_TEST(plain_colours_put_a_dark_square_at_a1) {
    const COLORREF light = RGB(250, 220, 160);
    const COLORREF dark = RGB(60, 90, 30);
    char settings[200];
    std::snprintf(settings, sizeof settings,
                  "<SolidColor>1</SolidColor>\r\n<WhiteBgColor>%lu</WhiteBgColor>\r\n"
                  "<BlackBgColor>%lu</BlackBgColor>\r\n",
                  light, dark);
    WriteSettingsFile(settings);
    Game game;
    REQUIRE(game.Start());

    struct Look {
        const char* Square;
        COLORREF Colour;
    };
    const Look looks[] = {
        {"a1", dark}, {"b1", light}, {"a2", light}, {"h1", light},
        {"a8", light}, {"h8", dark}, {"d4", dark}, {"e4", light},
    };
    for (const Look& look : looks) {
        CaseLabel label(look.Square);
        CHECK_EQ(game.PixelOfSquare(SquareNamed(look.Square), SquarePoint::Centre), look.Colour);
        CHECK_EQ(game.PixelOfSquare(SquareNamed(look.Square), SquarePoint::TopLeftCorner), look.Colour);
    }
    RemoveSettingsFile();
}

E2E_TEST(a_tour_completed_by_clicks_shows_the_score) {
    RemoveSettingsFile();
    const std::vector<Square> tour = KnightsTourFrom(SquareNamed("a1"));
    REQUIRE(tour.size() == 64);

    Game game;
    REQUIRE(game.Start());
    // Without hints no search runs after a move, so no search can fail and
    // count as an error.
    game.Press(NoHintsBox);
    game.WaitUntilIdle();
    CHECK(IsChecked(game, NoHintsBox));

    // With no search after a move, the clicks can follow each other without
    // waiting for the board; the 64th brings up the score box.
    for (const Square& square : tour) game.ClickSquare(square);
    HWND box = game.WaitForMessageBox(30000);
    REQUIRE(box != nullptr);
    CHECK_EQ(game.MessageBoxCaption(box), std::wstring(L"Orvan's Knight"));
    CHECK_EQ(game.MessageBoxText(box),
             std::wstring(L"Congratulations!\n\nYour score:\n - Moves:\t64\n - Errors:\t0\n - Advices:\t0"));
    game.PressOk(box);
    CHECK(game.FindMessageBox() == nullptr);

    // The finished tour can be browsed from its last move backwards.
    CheckButtons(game, {{FirstButton, true, true},
                        {BackButton, true, true},
                        {ForwardButton, true, false},
                        {LastButton, true, false},
                        {AdviceButton, false, false},
                        {BrowseFrame, true, true},
                        {SolutionButton, true, false},
                        {NewGameButton, true, true},
                        {SaveButton, true, true}});
}
