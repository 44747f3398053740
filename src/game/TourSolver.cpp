// The tour solver: depth-first search with Warnsdorff's ordering and the
// isolated-square pruning, bounded by the time limit and cancelled by input.
// The search itself runs on square sets (FastTourSearch.cpp).
#include "FastTourSearch.h"
#include "GameState.h"
#include "SearchTick.h"

bool GameState::FindTour(bool fill) {
    const int32_t n = MoveCount;
    if (n == NoIndex || (fill && n < 1) || (!fill && n < 2)) return true;  // nothing to search
    if (FirstErrorIndex < n) return false;  // already known to be lost

    SearchHost& host = SearchHostOf(BoardWindow);
    Solution = MoveList;
    SearchDepth = n - 1;
    SearchStartTick = SearchStartTickFrom(host.TickCount());

    const bool found = SearchTourFast(*this, Board, Solution[n - 1]);
    if (found) {
        FirstDoubtIndex = NoIndex;
    } else {
        if (SearchStartTick != 0) FirstErrorIndex = n - 1;  // exhausted, not stopped
        if (FirstDoubtIndex == NoIndex) FirstDoubtIndex = n - 1;
        ErrorCounter += 1;
    }
    SearchStartTick = 0;
    host.RefreshCursor();

    if (found && fill) {
        for (int32_t i = 0; i < 64; ++i) {
            MoveList[i] = Solution[i];
            Board[BoardIndex(Solution[i])] = i;
        }
        MoveCount = NoIndex;
    }
    return found;
}
