#include "GameState.h"

void GameState::Reset() {
    Board.fill(FreeSquare);
    MoveList.fill(NoSquare);
    Solution.fill(NoSquare);
    MoveCount = 0;
    FirstDoubtIndex = NoIndex;
    MoveCounter = 0;
    ErrorCounter = 0;
    FirstErrorIndex = NoIndex;
}

bool GameState::IsLegalMove(Square s) const {
    if (!IsOnBoard(s)) return false;
    if (MoveCount > 63) return false;
    if (MoveCount == 0) return true;
    Square last = MoveList[MoveCount - 1];
    return IsKnightJump(last, s) && Board[BoardIndex(s)] == FreeSquare;
}

void GameState::MakeMove(Square s) {
    if (!IsOnBoard(s) || MoveCount == NoIndex) return;
    int32_t n = MoveCount;
    Board[BoardIndex(s)] = n;
    MoveList[n] = s;
    // n < 62: at least two free squares remain after this move.
    if (FirstErrorIndex == NoIndex && n < 62 && HasIsolatedSquare(Board)) FirstErrorIndex = n;
    MoveCount = n + 1;
    MoveCounter += 1;
    if (MoveCount > 63) MoveCount = NoIndex;
}

void GameState::TakeBack() {
    if (MoveCount == 0) {
        Reset();
        return;
    }
    if (MoveCount > 63) return;  // replay mode: the tour is complete, nothing to take back
    int32_t m = MoveCount - 1;
    MoveCount = m;
    Board[BoardIndex(MoveList[m])] = FreeSquare;
    MoveList[m] = NoSquare;
    if (m <= FirstDoubtIndex) FirstDoubtIndex = NoIndex;
    if (m <= FirstErrorIndex) FirstErrorIndex = NoIndex;
    MoveCounter += 1;
}
