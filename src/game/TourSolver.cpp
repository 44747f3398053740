// The tour solver: depth-first search with Warnsdorff's ordering and the
// isolated-square pruning, bounded by the time limit and cancelled by input.
// The search itself runs on square sets (FastTourSearch.cpp).
#include "FastTourSearch.h"
#include "GameState.h"
#include "SearchTick.h"

bool FindTourWith(GameState& game, bool fill, TourSearch search) {
    const int32_t n = game.MoveCount;
    if (n == NoIndex || (fill && n < 1) || (!fill && n < 2)) return true;  // nothing to search
    if (game.FirstErrorIndex < n) return false;  // already known to be lost

    SearchHost& host = SearchHostOf(game.BoardWindow);
    game.Solution = game.MoveList;
    game.SearchDepth = n - 1;
    game.SearchStartTick = SearchStartTickFrom(host.TickCount());

    const bool found = search(game, game.Board, game.Solution[n - 1]);
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

bool GameState::FindTour(bool fill) { return FindTourWith(*this, fill, &SearchTourFast); }
