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
    return FindTourWith(game, fill, [](GameState& g, const BoardArray& board, Square last) {
        return g.SearchFrom(board, last);
    });
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
