// Games on the board as the screen shows them: the colours and pictures of
// the squares, the knight, the move numbers, the marks of a lost game, the
// hint, the solution and its replay, and the keys of the board.
//
// Where the board shows plain colours, a square is compared pixel by pixel
// with the same square drawn here: its background, then its number and mark
// in bold Arial with the same heights and placements. The knight is looked
// for by its green.
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

// Plain colours, apart from each other, from the red of the marks and from
// the green of the knight.
const COLORREF LightBg = RGB(200, 200, 200);
const COLORREF DarkBg = RGB(90, 90, 90);
const COLORREF LightFg = RGB(255, 0, 255);
const COLORREF DarkFg = RGB(0, 0, 255);
const COLORREF MarkRed = RGB(192, 0, 0);

std::string PlainColourSettings(const std::string& more = "") {
    char text[400];
    std::snprintf(text, sizeof text,
                  "<SolidColor>1</SolidColor>\r\n<WhiteBgColor>%lu</WhiteBgColor>\r\n"
                  "<BlackBgColor>%lu</BlackBgColor>\r\n<WhiteFgColor>%lu</WhiteFgColor>\r\n"
                  "<BlackFgColor>%lu</BlackFgColor>\r\n",
                  LightBg, DarkBg, LightFg, DarkFg);
    return text + more;
}

bool IsDark(Square s) { return (s.File + s.Rank) % 2 == 0; }
COLORREF BackgroundOf(Square s) { return IsDark(s) ? DarkBg : LightBg; }
COLORREF NumberColourOf(Square s) { return IsDark(s) ? DarkFg : LightFg; }

bool IsKnightGreen(COLORREF p) {
    int r = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
    return g > r + 40 && g > b + 40;
}

std::vector<Square> AllSquares() {
    std::vector<Square> squares;
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) squares.push_back(Square{file, rank});
    return squares;
}

bool SameSquare(Square a, Square b) { return a.File == b.File && a.Rank == b.Rank; }

// ---------------------------------------------------------------- squares drawn here

// One line of text in a square: bold, the given character height, drawn
// with a transparent background.
struct Line {
    std::wstring Text;
    const wchar_t* Face;
    int Height;
    COLORREF Colour;
    UINT Placement;
};

// A square of side c: the background, then the lines, drawn on a bitmap of
// our own with the same functions a Windows program draws text with.
std::vector<COLORREF> DrawnSquare(int c, COLORREF background, const std::vector<Line>& lines) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = c;
    info.bmiHeader.biHeight = -c;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<COLORREF> pixels;
    if (bitmap && bits) {
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        RECT square{0, 0, c, c};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &square, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        for (const Line& line : lines) {
            HFONT font = CreateFontW(-line.Height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, line.Face);
            HGDIOBJ oldFont = SelectObject(dc, font);
            SetTextColor(dc, line.Colour);
            RECT r = square;
            DrawTextW(dc, line.Text.c_str(), -1, &r, DT_SINGLELINE | line.Placement);
            SelectObject(dc, oldFont);
            DeleteObject(font);
        }
        GdiFlush();
        const auto* bgrx = static_cast<const unsigned char*>(bits);
        pixels.resize(size_t(c) * size_t(c));
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
        SelectObject(dc, oldBitmap);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// ---------------------------------------------------------------- what a square shows

enum class Knight { No, Yes };
enum class Number { Large, Small };  // small: in the corner of the knight's square in play mode

// The number of the move that visited a square, whether the knight stands on
// it, and its mark ("?", "X" or none).
struct Look {
    std::string Square;
    int Move;
    Knight WithKnight;
    Number Size;
    const wchar_t* Mark;
};

Look Visited(const std::string& square, int move, const wchar_t* mark = nullptr) {
    return Look{square, move, Knight::No, Number::Large, mark};
}
Look KnightOn(const std::string& square, int move, const wchar_t* mark = nullptr) {
    return Look{square, move, Knight::Yes, Number::Small, mark};
}
Look KnightUnderNumber(const std::string& square, int move) {
    return Look{square, move, Knight::Yes, Number::Large, nullptr};
}

std::vector<Line> LinesOf(const Look& look, int c) {
    Square s = SquareNamed(look.Square.c_str());
    std::vector<Line> lines;
    std::wstring number = std::to_wstring(look.Move);
    if (look.Size == Number::Small)
        lines.push_back(Line{number, L"Arial", c / 5, NumberColourOf(s), DT_RIGHT | DT_BOTTOM});
    else
        lines.push_back(Line{number, L"Arial", c / 2, NumberColourOf(s), DT_CENTER | DT_VCENTER});
    if (look.Mark) lines.push_back(Line{look.Mark, L"Arial", c / 2, MarkRed, DT_LEFT | DT_BOTTOM});
    return lines;
}

int GreenPixels(const BoardPicture& board, Square s) {
    int c = board.CellSize();
    return board.Count(s, 0, 0, c, c, IsKnightGreen);
}

int PixelsOfColour(const BoardPicture& board, Square s, COLORREF colour) {
    int c = board.CellSize();
    return board.Count(s, 0, 0, c, c, [colour](COLORREF p) { return p == colour; });
}

// Checks every square of the board: the squares of the looks as described,
// every other square in its plain colour.
void CheckSquares(const BoardPicture& board, const std::vector<Look>& looks) {
    REQUIRE(!board.Empty());
    const int c = board.CellSize();
    for (Square s : AllSquares()) {
        CaseLabel label("square " + NameOf(s));
        auto look = std::find_if(looks.begin(), looks.end(),
                                 [s](const Look& l) { return SameSquare(SquareNamed(l.Square.c_str()), s); });
        if (look == looks.end()) {
            CHECK_EQ(PixelsOfColour(board, s, BackgroundOf(s)), c * c);
            continue;
        }
        const std::vector<COLORREF> drawn = DrawnSquare(c, BackgroundOf(s), LinesOf(*look, c));
        if (look->WithKnight == Knight::No) {
            int different = 0;
            for (int y = 0; y < c; ++y)
                for (int x = 0; x < c; ++x)
                    if (board.InSquare(s, x, y) != drawn[size_t(y * c + x)]) ++different;
            CHECK_EQ(different, 0);
            continue;
        }
        // Under the knight only the numbers and marks are known: every pixel
        // drawn here in the colour of the number or of the mark has that
        // colour on the screen too.
        CHECK(GreenPixels(board, s) >= c * c / 10);
        int textPixels = 0, missing = 0;
        const COLORREF numberColour = NumberColourOf(s);
        for (int y = 0; y < c; ++y)
            for (int x = 0; x < c; ++x) {
                COLORREF expected = drawn[size_t(y * c + x)];
                if (expected != numberColour && expected != MarkRed) continue;
                ++textPixels;
                if (board.InSquare(s, x, y) != expected) ++missing;
            }
        CHECK(textPixels > 0);
        CHECK_EQ(missing, 0);
    }
}

// The square with the knight's green; {-1, -1} when none or more than one.
Square KnightSquare(const BoardPicture& board) {
    Square found{-1, -1};
    int squares = 0;
    for (Square s : AllSquares())
        if (GreenPixels(board, s) >= board.CellSize() * board.CellSize() / 10) {
            found = s;
            ++squares;
        }
    return squares == 1 ? found : Square{-1, -1};
}

// The free squares that show something red: where a hint is drawn.
std::vector<Square> SquaresWithRed(const BoardPicture& board) {
    std::vector<Square> squares;
    for (Square s : AllSquares())
        if (PixelsOfColour(board, s, MarkRed) > 0) squares.push_back(s);
    return squares;
}

// One step of a player's session and the board it leaves.
struct Step {
    const char* Action;
    std::function<void(Game&)> Do;
    std::vector<Look> Looks;
};

void Play(Game& game, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        CaseLabel label(step.Action);
        step.Do(game);
        game.WaitUntilIdle();
        CheckSquares(game.LookAtBoard(), step.Looks);
        CHECK(game.FindMessageBox() == nullptr);
    }
}

// A click and the search after it, if any, ended: a click that arrives while
// a search runs stops the search and is used up by it.
void Click(Game& game, const char* square) {
    game.ClickSquare(square);
    game.WaitUntilIdle();
}

std::function<void(Game&)> Clicks(std::vector<const char*> squares) {
    return [squares](Game& game) {
        for (const char* square : squares) Click(game, square);
    };
}

std::function<void(Game&)> Pressing(int id) {
    return [id](Game& game) { game.Press(id); };
}

// The buttons under "Browse" as a player sees them in replay mode with the
// knight on the move with the given index.
void CheckReplayRow(Game& game, int index) {
    CaseLabel label("replay row at move index " + std::to_string(index));
    CHECK(game.IsShown(BrowseFrame));
    CHECK(!game.IsShown(AdviceButton));
    const struct {
        int Id;
        bool Enabled;
    } row[] = {{FirstButton, index > 0}, {BackButton, index > 0}, {ForwardButton, index < 63}, {LastButton, index < 63}};
    for (const auto& button : row) {
        CaseLabel buttonLabel("control " + std::to_string(button.Id));
        CHECK(game.IsShown(button.Id));
        CHECK_EQ(game.IsEnabled(button.Id), button.Enabled);
    }
    CHECK(!game.IsEnabled(SolutionButton));
}

// Saves the game under a generated name and reads its moves back from the
// positions file: how a test learns the tour that a solution found.
std::vector<Square> SavedMoves(Game& game) {
    game.EnterName(L"");
    game.Press(SaveButton);
    game.WaitUntilIdle();
    std::vector<std::wstring> names = StoredPositionNames();
    if (names.empty()) return {};
    return SquaresOf(StoredPosition(names.back()));
}

bool IsTour(const std::vector<Square>& moves) {
    if (moves.size() != 64) return false;
    bool seen[8][8] = {};
    for (size_t i = 0; i < moves.size(); ++i) {
        if (seen[moves[i].File][moves[i].Rank]) return false;
        seen[moves[i].File][moves[i].Rank] = true;
        if (i > 0 && !IsKnightMove(moves[i - 1], moves[i])) return false;
    }
    return true;
}

// The replay shows the whole tour, every number large, the knight under the
// number of the move with the given index.
std::vector<Look> ReplayLooks(const std::vector<Square>& tour, int knightIndex) {
    std::vector<Look> looks;
    for (int i = 0; i < int(tour.size()); ++i)
        looks.push_back(i == knightIndex ? KnightUnderNumber(NameOf(tour[i]), i + 1) : Visited(NameOf(tour[i]), i + 1));
    return looks;
}

// Whether Wingdings is a face of this system, as a program asking for it by
// name gets it.
bool WingdingsIsInstalled() {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-40, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Wingdings");
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return lstrcmpiW(face, L"Wingdings") == 0;
}

// The hint on a free square: red, of about the square's height, in its
// middle; the thumbs-up of Wingdings where that face exists, and never the
// plain letter "C" that a stand-in face would draw for it.
void CheckHintGlyph(const BoardPicture& board, Square s) {
    CaseLabel label("hint on " + NameOf(s));
    const int c = board.CellSize();
    int left = c, right = -1, top = c, bottom = -1, red = 0;
    for (int y = 0; y < c; ++y)
        for (int x = 0; x < c; ++x)
            if (board.InSquare(s, x, y) == MarkRed) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                ++red;
            }
    REQUIRE(red > 0);
    CHECK(red >= c * c / 10);
    CHECK(bottom - top + 1 >= c / 2);
    CHECK(std::abs((left + right + 1) - c) <= c / 4);
    CHECK(std::abs((top + bottom + 1) - c) <= c / 4);

    const std::vector<COLORREF> letter =
        DrawnSquare(c, BackgroundOf(s), {Line{L"C", L"Wingdings", c, MarkRed, DT_CENTER | DT_VCENTER}});
    int both = 0, either = 0;
    for (int y = 0; y < c; ++y)
        for (int x = 0; x < c; ++x) {
            bool here = board.InSquare(s, x, y) == MarkRed, there = letter[size_t(y * c + x)] == MarkRed;
            both += here && there;
            either += here || there;
        }
    // Alike in nine pixels out of ten: the same glyph.
    const bool sameAsDrawnHere = either > 0 && both * 10 >= either * 9;
    CHECK_EQ(sameAsDrawnHere, WingdingsIsInstalled());
}

}  // namespace

E2E_TEST(the_numbers_and_the_knight_follow_the_moves) {
    WriteSettingsFile(PlainColourSettings());
    Game game;
    REQUIRE(game.Start());
    Play(game, {
        {"start", [](Game&) {}, {}},
        {"a click on a1", Clicks({"a1"}), {KnightOn("a1", 1)}},
        {"a click on b3", Clicks({"b3"}), {Visited("a1", 1), KnightOn("b3", 2)}},
        {"a click on h8, no knight's move from b3", Clicks({"h8"}), {Visited("a1", 1), KnightOn("b3", 2)}},
        {"a click on c1", Clicks({"c1"}), {Visited("a1", 1), Visited("b3", 2), KnightOn("c1", 3)}},
        {"a click on a1 again, visited", Clicks({"a1"}), {Visited("a1", 1), Visited("b3", 2), KnightOn("c1", 3)}},
        {"back", Pressing(BackButton), {Visited("a1", 1), KnightOn("b3", 2)}},
        {"New game", Pressing(NewGameButton), {}},
        {"a click on d5 after New game", Clicks({"d5"}), {KnightOn("d5", 1)}},
    });
}

E2E_TEST(cutting_off_a_corner_marks_the_moves_with_x) {
    WriteSettingsFile(PlainColourSettings());
    Game game;
    REQUIRE(game.Start());
    // After b3 and c2 the corner a1 has no free square a knight's move away:
    // from c2 on the tour is lost.
    const std::vector<Look> lost = {Visited("b3", 1), Visited("d4", 2), Visited("c2", 3, L"X"),
                                    KnightOn("e1", 4, L"X")};
    Play(game, {
        {"b3, d4", Clicks({"b3", "d4"}), {Visited("b3", 1), KnightOn("d4", 2)}},
        {"c2", Clicks({"c2"}), {Visited("b3", 1), Visited("d4", 2), KnightOn("c2", 3, L"X")}},
        {"e1", Clicks({"e1"}), lost},
        {"No hints checked", Pressing(NoHintsBox),
         {Visited("b3", 1), Visited("d4", 2), Visited("c2", 3), KnightOn("e1", 4)}},
        {"No hints unchecked", Pressing(NoHintsBox), lost},
        {"back", Pressing(BackButton), {Visited("b3", 1), Visited("d4", 2), KnightOn("c2", 3, L"X")}},
        {"back again, past the move that cut a1 off", Pressing(BackButton), {Visited("b3", 1), KnightOn("d4", 2)}},
    });
    CHECK(!game.IsChecked(NoHintsBox));
}

E2E_TEST(a_search_out_of_time_marks_the_moves_with_a_question_mark) {
    // From the fifth move on two corners, a1 and h1, can each be reached from
    // one free square only: both would have to end the tour, so there is
    // none, but the search cannot prove it in a quarter of a second. The
    // eighth move leaves h1 without a free neighbour, which proves it.
    WriteSettingsFile(PlainColourSettings("<CalcDuration>250</CalcDuration>\r\n"));
    Game game;
    REQUIRE(game.Start());
    Play(game, {
        {"four moves with a tour ahead", Clicks({"b3", "c1", "e2", "g3"}),
         {Visited("b3", 1), Visited("c1", 2), Visited("e2", 3), KnightOn("g3", 4)}},
        {"three moves without", Clicks({"f1", "d2", "e4"}),
         {Visited("b3", 1), Visited("c1", 2), Visited("e2", 3), Visited("g3", 4), Visited("f1", 5, L"?"),
          Visited("d2", 6, L"?"), KnightOn("e4", 7, L"?")}},
        {"f2 and h3, after h1 is cut off", Clicks({"f2", "h3"}),
         {Visited("b3", 1), Visited("c1", 2), Visited("e2", 3), Visited("g3", 4), Visited("f1", 5, L"?"),
          Visited("d2", 6, L"?"), Visited("e4", 7, L"?"), Visited("f2", 8, L"X"), KnightOn("h3", 9, L"X")}},
        {"No hints checked", Pressing(NoHintsBox),
         {Visited("b3", 1), Visited("c1", 2), Visited("e2", 3), Visited("g3", 4), Visited("f1", 5), Visited("d2", 6),
          Visited("e4", 7), Visited("f2", 8), KnightOn("h3", 9)}},
    });
}

E2E_TEST(advice_shows_a_hint_until_the_next_click) {
    WriteSettingsFile(PlainColourSettings());
    Game game;
    REQUIRE(game.Start());
    Click(game, "a1");
    Click(game, "b3");
    const BoardPicture beforeAdvice = game.LookAtBoard();
    CHECK(SquaresWithRed(beforeAdvice).empty());

    game.Press(AdviceButton);
    BoardPicture board = game.LookAtBoard();
    std::vector<Square> hinted = SquaresWithRed(board);
    REQUIRE(hinted.size() == 1);
    const Square hint = hinted[0];
    CHECK(IsKnightMove(SquareNamed("b3"), hint));
    CHECK(!SameSquare(hint, SquareNamed("a1")));
    CheckHintGlyph(board, hint);
    for (Square s : AllSquares())
        if (!SameSquare(s, hint)) CHECK(board.SameSquare(beforeAdvice, s));

    // The hint does not depend on the hints switch.
    game.Press(NoHintsBox);
    CHECK(game.LookAtBoard() == board);
    game.Press(NoHintsBox);
    CHECK(game.LookAtBoard() == board);

    // Any click on the board takes it away, even one that is no move.
    Click(game, "h8");
    CHECK(game.LookAtBoard() == beforeAdvice);

    // Asked again, the same square; taking it makes the move.
    game.Press(AdviceButton);
    CHECK(game.LookAtBoard() == board);
    Click(game, NameOf(hint).c_str());
    CheckSquares(game.LookAtBoard(), {Visited("a1", 1), Visited("b3", 2), KnightOn(NameOf(hint), 3)});
    CHECK(game.FindMessageBox() == nullptr);
}

E2E_TEST(solution_fills_the_tour_and_the_replay_stops_at_both_ends) {
    WriteSettingsFile(PlainColourSettings());
    Game game;
    REQUIRE(game.Start());
    for (const char* square : {"a1", "b3", "c1"}) Click(game, square);
    game.Press(SolutionButton);
    game.WaitUntilIdle();
    CheckReplayRow(game, 2);
    CHECK(game.FindMessageBox() == nullptr);
    BoardPicture board = game.LookAtBoard();
    CHECK(SameSquare(KnightSquare(board), SquareNamed("c1")));

    const std::vector<Square> tour = SavedMoves(game);
    REQUIRE(IsTour(tour));
    CHECK_EQ(PositionText(tour).substr(0, 8), std::string("A1;B3;C1"));
    CheckSquares(board, ReplayLooks(tour, 2));

    struct ReplayStep {
        const char* Action;
        std::function<void(Game&)> Do;
        int Index;
    };
    // Keys reach the board once a click has given it the focus; a click in
    // the replay changes nothing else.
    auto key = [](UINT virtualKey) {
        return [virtualKey](Game& g) {
            g.ClickSquare("h8");
            g.WaitUntilIdle();
            g.PressKey(virtualKey);
        };
    };
    const ReplayStep steps[] = {
        {"|<", Pressing(FirstButton), 0},
        {"Left arrow at the first move", key(VK_LEFT), 0},
        {">", Pressing(ForwardButton), 1},
        {">|", Pressing(LastButton), 63},
        {"Right arrow at the last move", key(VK_RIGHT), 63},
        {"<", Pressing(BackButton), 62},
    };
    for (const ReplayStep& step : steps) {
        CaseLabel label(step.Action);
        step.Do(game);
        game.WaitUntilIdle();
        CheckReplayRow(game, step.Index);
        CheckSquares(game.LookAtBoard(), ReplayLooks(tour, step.Index));
    }

    game.Press(NewGameButton);
    game.WaitUntilIdle();
    CheckSquares(game.LookAtBoard(), {});
    CHECK(!game.IsShown(BrowseFrame));
    CHECK(game.IsShown(AdviceButton));
    CHECK(!game.IsEnabled(SolutionButton));
    CHECK(!game.IsEnabled(NewGameButton));
}

E2E_TEST(board_keys_play_after_a_click_on_the_board) {
    WriteSettingsFile(PlainColourSettings());
    Game game;
    REQUIRE(game.Start());
    for (const char* square : {"a1", "b3", "c1"}) Click(game, square);

    // Play mode: the keys take back, advise and solve.
    Play(game, {
        {"Backspace", [](Game& g) { g.PressKey(VK_BACK); }, {Visited("a1", 1), KnightOn("b3", 2)}},
        {"Left arrow", [](Game& g) { g.PressKey(VK_LEFT); }, {KnightOn("a1", 1)}},
        {"a click on b3", Clicks({"b3"}), {Visited("a1", 1), KnightOn("b3", 2)}},
    });
    struct AdviceKey {
        const char* Name;
        UINT VirtualKey;
    };
    for (const AdviceKey& advice : {AdviceKey{"A", 'A'}, AdviceKey{"C", 'C'}, AdviceKey{"Right arrow", VK_RIGHT}}) {
        CaseLabel label(advice.Name);
        game.PressKey(advice.VirtualKey);
        std::vector<Square> hinted = SquaresWithRed(game.LookAtBoard());
        CHECK_EQ(int(hinted.size()), 1);
        if (!hinted.empty()) CHECK(IsKnightMove(SquareNamed("b3"), hinted[0]));
    }
    Play(game, {
        {"Ctrl+Z", [](Game& g) { g.PressCtrlKey('Z'); }, {KnightOn("a1", 1)}},
        {"a click on b3 again", Clicks({"b3"}), {Visited("a1", 1), KnightOn("b3", 2)}},
    });

    {
        CaseLabel label("S");
        game.PressKey('S');
        game.WaitUntilIdle();
        CheckReplayRow(game, 1);
    }
    const std::vector<Square> tour = SavedMoves(game);
    REQUIRE(IsTour(tour));

    // Replay mode: the keys browse the tour.
    struct ReplayKey {
        const char* Name;
        std::function<void(Game&)> Press;
        int Index;
    };
    auto key = [](UINT virtualKey) { return [virtualKey](Game& g) { g.PressKey(virtualKey); }; };
    const ReplayKey keys[] = {
        {"Home", key(VK_HOME), 0},      {"Right arrow", key(VK_RIGHT), 1}, {"C", key('C'), 2},
        {"A", key('A'), 3},             {"End", key(VK_END), 63},          {"Left arrow", key(VK_LEFT), 62},
        {"Backspace", key(VK_BACK), 61}, {"S", key('S'), 63},
        {"Ctrl+Z", [](Game& g) { g.PressCtrlKey('Z'); }, 62},
    };
    Click(game, "h8");  // the focus back on the board after "Save"
    for (const ReplayKey& k : keys) {
        CaseLabel label(k.Name);
        k.Press(game);
        game.WaitUntilIdle();
        CheckReplayRow(game, k.Index);
        CHECK(SameSquare(KnightSquare(game.LookAtBoard()), tour[size_t(k.Index)]));
    }

    {
        CaseLabel label("F2");
        game.PressKey(VK_F2);
        game.WaitUntilIdle();
        CheckSquares(game.LookAtBoard(), {});
        CHECK(!game.IsShown(BrowseFrame));
        CHECK(!game.IsEnabled(NewGameButton));
    }
}

E2E_TEST(textures_and_the_knight_show_with_the_default_settings) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    const BoardPicture start = game.LookAtBoard();
    REQUIRE(!start.Empty());
    const int c = start.CellSize();
    const Square a1 = SquareNamed("a1"), b1 = SquareNamed("b1");

    // One picture on every dark square, another on every light one; none of
    // them the plain black or white beneath.
    int darkSum = 0, lightSum = 0, apart = 0;
    for (Square s : AllSquares()) {
        CaseLabel label("square " + NameOf(s));
        const Square model = IsDark(s) ? a1 : b1;
        int same = 0;
        for (int y = 0; y < c; ++y)
            for (int x = 0; x < c; ++x) same += start.InSquare(s, x, y) == start.InSquare(model, x, y);
        CHECK_EQ(same, c * c);
        const COLORREF plain = IsDark(s) ? RGB(0, 0, 0) : RGB(255, 255, 255);
        CHECK(start.Count(s, 0, 0, c, c, [plain](COLORREF p) { return p == plain; }) < c * c / 10);
        CHECK_EQ(GreenPixels(start, s), 0);
    }
    for (int y = 0; y < c; ++y)
        for (int x = 0; x < c; ++x) {
            COLORREF dark = start.InSquare(a1, x, y), light = start.InSquare(b1, x, y);
            darkSum += GetRValue(dark) + GetGValue(dark) + GetBValue(dark);
            lightSum += GetRValue(light) + GetGValue(light) + GetBValue(light);
            apart += dark != light;
        }
    CHECK(apart > c * c * 9 / 10);
    CHECK(lightSum > darkSum + c * c * 3 * 60);

    // The knight on a1 over the wood, its number small and white in the corner.
    Click(game, "a1");
    const BoardPicture moved = game.LookAtBoard();
    CHECK(GreenPixels(moved, a1) >= c * c / 10);
    for (Square s : AllSquares())
        if (!SameSquare(s, a1)) CHECK(moved.SameSquare(start, s));
    const int band = c * 9 / 70;  // left of the knight the square stays as it was
    int changed = 0;
    for (int y = 0; y < c; ++y)
        for (int x = 0; x < band; ++x) changed += moved.InSquare(a1, x, y) != start.InSquare(a1, x, y);
    CHECK_EQ(changed, 0);
    const std::vector<COLORREF> number =
        DrawnSquare(c, RGB(0, 0, 0), {Line{L"1", L"Arial", c / 5, RGB(255, 255, 255), DT_RIGHT | DT_BOTTOM}});
    int numberPixels = 0, missing = 0;
    for (int y = 0; y < c; ++y)
        for (int x = 0; x < c; ++x)
            if (number[size_t(y * c + x)] == RGB(255, 255, 255)) {
                ++numberPixels;
                missing += moved.InSquare(a1, x, y) != RGB(255, 255, 255);
            }
    CHECK(numberPixels > 0);
    CHECK_EQ(missing, 0);
}

E2E_TEST(square_pictures_that_cannot_be_read_leave_the_plain_colour) {
    const COLORREF light = RGB(210, 230, 250), dark = RGB(40, 60, 20);
    const std::wstring notes = L"C:\\Orvan\\notes.txt";
    WriteWholeFile(notes, "These are not the pictures you are looking for.\r\n");
    struct PictureCase {
        const char* Name;
        std::string Setting;
        bool LightPlain;
        bool DarkPlain;
    };
    const PictureCase cases[] = {
        {"white squares from a missing file", "<WhiteImage>C:\\Orvan\\no such wood.png</WhiteImage>", true, false},
        {"white squares from a text file", "<WhiteImage>C:\\Orvan\\notes.txt</WhiteImage>", true, false},
        {"black squares from a text file", "<BlackImage>C:\\Orvan\\notes.txt</BlackImage>", false, true},
    };
    for (const PictureCase& picture : cases) {
        CaseLabel label(picture.Name);
        char colours[200];
        std::snprintf(colours, sizeof colours, "<WhiteBgColor>%lu</WhiteBgColor>\r\n<BlackBgColor>%lu</BlackBgColor>\r\n",
                      light, dark);
        WriteSettingsFile(colours + picture.Setting + "\r\n");
        Game game;
        if (!CHECK(game.Start())) continue;
        const BoardPicture board = game.LookAtBoard();
        if (!CHECK(!board.Empty())) continue;
        const int c = board.CellSize();
        for (Square s : AllSquares()) {
            CaseLabel squareLabel("square " + NameOf(s));
            const bool plain = IsDark(s) ? picture.DarkPlain : picture.LightPlain;
            const int plainPixels = PixelsOfColour(board, s, IsDark(s) ? dark : light);
            if (plain)
                CHECK_EQ(plainPixels, c * c);
            else
                CHECK(plainPixels < c * c / 10);
        }
        CHECK(game.FindMessageBox() == nullptr);
        Click(game, "a1");
        CHECK(GreenPixels(game.LookAtBoard(), SquareNamed("a1")) >= c * c / 10);
        CHECK(game.FindMessageBox() == nullptr);
    }
    RemoveSettingsFile();
}
