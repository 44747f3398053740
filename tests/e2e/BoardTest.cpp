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
    CHECK(game.IsChecked(NoHintsBox));

    // With no search after a move, the clicks can follow each other without
    // waiting for the board. On the way one move is taken back and made
    // again, and one advice is asked for (its search must not meet a click);
    // the 64th click brings up the score box.
    for (size_t i = 0; i < 62; ++i) {
        game.ClickSquare(tour[i]);
        if (i == 9) {
            game.Press(BackButton);
            game.ClickSquare(tour[i]);
        }
    }
    game.WaitUntilIdle();
    game.Press(AdviceButton);
    game.WaitUntilIdle();
    game.ClickSquare(tour[62]);
    game.ClickSquare(tour[63]);
    HWND box = game.WaitForMessageBox(30000);
    REQUIRE(box != nullptr);
    CHECK_EQ(game.MessageBoxCaption(box), std::wstring(L"Orvan's Knight"));
    CHECK_EQ(game.MessageBoxText(box),
             std::wstring(L"Congratulations!\n\nYour score:\n - Moves:\t66\n - Errors:\t0\n - Advices:\t1"));
    // A modal box in front of the board's window: it belongs to the main
    // window, which takes no input until the box is answered.
    CHECK(GetWindow(box, GW_OWNER) == game.MainWindow());
    CHECK(!IsWindowEnabled(game.MainWindow()));
    CHECK(GetDlgItem(box, IDOK) != nullptr && IsWindowVisible(GetDlgItem(box, IDOK)));
    CHECK(GetDlgItem(box, IDCANCEL) == nullptr || !IsWindowVisible(GetDlgItem(box, IDCANCEL)));
    game.PressOk(box);
    CHECK(game.FindMessageBox() == nullptr);
    CHECK(IsWindowEnabled(game.MainWindow()));

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
