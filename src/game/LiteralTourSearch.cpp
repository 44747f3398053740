// The plain tour search: depth-first with Warnsdorff's ordering and the
// isolated-square pruning, bounded by the time limit and cancelled by input.
// Each level works on its own copy of the board array.
#include "LiteralTourSearch.h"

#include "../settings/Settings.h"
#include "SearchTick.h"

namespace {

// The tried mark of the level that places move d.
constexpr int32_t TriedMark(int32_t d) { return -100 - d; }

}  // namespace

bool FindTourLiteral(GameState& game, bool fill) {
    const int32_t n = game.MoveCount;
    if (n == NoIndex || (fill && n < 1) || (!fill && n < 2)) return true;  // nothing to search
    if (game.FirstErrorIndex < n) return false;  // already known to be lost

    SearchHost& host = SearchHostOf(game.BoardWindow);
    game.Solution = game.MoveList;
    game.SearchDepth = n - 1;
    game.SearchStartTick = SearchStartTickFrom(host.TickCount());

    const bool found = game.SearchFrom(game.Board, game.Solution[n - 1]);
    if (found) {
        game.FirstDoubtIndex = NoIndex;
    } else {
        if (game.SearchStartTick != 0) game.FirstErrorIndex = n - 1;  // exhausted, not stopped
        if (game.FirstDoubtIndex == NoIndex) game.FirstDoubtIndex = n - 1;
        game.ErrorCounter += 1;
    }
    game.SearchStartTick = 0;
    host.RefreshCursor();

    if (found && fill) {
        for (int32_t i = 0; i < 64; ++i) {
            game.MoveList[i] = game.Solution[i];
            game.Board[BoardIndex(game.Solution[i])] = i;
        }
        game.MoveCount = NoIndex;
    }
    return found;
}

bool GameState::SearchFrom(const BoardArray& parent, Square last) {
    BoardArray board = parent;
    SearchDepth += 1;
    int32_t d = SearchDepth;
    if (d >= 64) return true;

    SearchHost& host = SearchHostOf(BoardWindow);
    for (;;) {
        const Square c = ChooseNextSquare(board, last);
        if (!IsOnBoard(c)) {
            SearchDepth -= 1;
            return false;
        }
        if (d < 63 && HasIsolatedSquare(board)) {
            SearchDepth -= 1;
            return false;
        }
        board[BoardIndex(c)] = d;
        Solution[d] = c;

        const CancelInput input = host.PollCancelInput();
        if (input == CancelInput::KeyPress || input == CancelInput::LeftButton) SearchStartTick = 0;
        host.ShowWaitCursor();

        if (SearchFrom(board, c)) return true;

        // The time limit and the cancel flag are looked at only here, when a
        // deeper level has failed and this one is about to try its next square.
        if (SearchStartTick == 0 ||
            host.TickCount() - SearchStartTick > static_cast<uint32_t>(Settings.CalcDuration)) {
            SearchDepth -= 1;
            SearchStartTick = 0;
            return false;
        }
        d = SearchDepth;
        board[BoardIndex(c)] = TriedMark(d);
    }
}

Square GameState::ChooseNextSquare(const BoardArray& board, Square current) const {
    Square best = NoSquare;
    int bestCount = 9;  // one more than the most neighbours a square can have
    for (KnightJump j : KnightJumps) {
        const Square s{current.File + j.dFile, current.Rank + j.dRank};
        if (!IsOnBoard(s)) continue;
        const int32_t value = board[BoardIndex(s)];
        if (value >= 0) continue;
        if (value == TriedMark(SearchDepth)) continue;
        if (SearchDepth == 63) return s;  // the last square of the tour
        const int k = CountFreeNeighbours(board, s);
        if (k != 0 && k < bestCount) {
            best = s;
            bestCount = k;
        }
    }
    return best;
}
