// Fuzzing the position text reader: whatever the text, the game that it loads
// keeps the rules of the board, writes itself back as text that loads into the
// same game, and survives a short tour search.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/GameState.h"
#include "settings/Settings.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// The clock is the number of squares placed, so a search has a budget of squares.
class BudgetHost final : public SearchHost {
public:
    uint32_t placed = 1;
    CancelInput PollCancelInput() override {
        ++placed;
        return CancelInput::None;
    }
    void ShowWaitCursor() override {}
    void RefreshCursor() override {}
    uint32_t TickCount() override { return placed; }
};

void CheckInvariants(const GameState& game) {
    if (game.MoveCount == NoIndex) {
        bool seen[64] = {};
        for (int i = 0; i < 64; ++i) {
            const Square s = game.MoveList[i];
            Require(IsOnBoard(s) && !seen[BoardIndex(s)]);
            seen[BoardIndex(s)] = true;
            Require(game.Board[BoardIndex(s)] == i);
            if (i > 0) Require(IsKnightJump(game.MoveList[i - 1], s));
        }
        return;
    }
    const int n = game.MoveCount;
    Require(n >= 0 && n <= 63);
    int visited = 0;
    for (int i = 0; i < 64; ++i) {
        if (i < n) {
            const Square s = game.MoveList[i];
            Require(IsOnBoard(s));
            Require(game.Board[BoardIndex(s)] == i);
            if (i > 0) Require(IsKnightJump(game.MoveList[i - 1], s));
        } else {
            Require(game.MoveList[i] == NoSquare);
        }
        visited += game.Board[i] >= 0 ? 1 : 0;
        Require(game.Board[i] >= -1 && game.Board[i] < n);
    }
    Require(visited == n);
    Require(game.FirstErrorIndex == NoIndex || game.FirstErrorIndex < n);
    Require(game.FirstDoubtIndex == NoIndex || game.FirstDoubtIndex < n);
}

}  // namespace

SettingsRecord Settings;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);

    GameState game;
    game.LoadFromText(text);
    CheckInvariants(game);
    Require(game.MoveCounter == (game.MoveCount == NoIndex ? 64 : game.MoveCount));
    Require(game.ErrorCounter == 0 && game.FirstDoubtIndex == NoIndex);

    const std::wstring written = game.ToText();
    const int k = game.MoveCount == NoIndex ? 64 : game.MoveCount;
    Require(written.size() == static_cast<size_t>(k == 0 ? 0 : 3 * k - 1));
    GameState again;
    again.LoadFromText(written);
    Require(again.MoveList == game.MoveList && again.Board == game.Board && again.MoveCount == game.MoveCount &&
            again.FirstErrorIndex == game.FirstErrorIndex);

    BudgetHost host;
    game.BoardWindow = &host;
    Settings.CalcDuration = 2000;
    const GameState before = game;
    const bool found = game.FindTour(true);
    CheckInvariants(game);
    Require(game.SearchStartTick == 0);
    if (!found || before.MoveCount == NoIndex) Require(game.MoveList == before.MoveList);
    if (found && before.MoveCount != NoIndex && before.MoveCount > 0) Require(game.MoveCount == NoIndex);
    return 0;
}
