#include "BoardArray.h"

int CountFreeNeighbours(const BoardArray& board, Square s) {
    int count = 0;
    for (KnightJump j : KnightJumps) {
        Square n{s.File + j.dFile, s.Rank + j.dRank};
        if (IsOnBoard(n) && board[BoardIndex(n)] < 0) ++count;
    }
    return count;
}

bool HasIsolatedSquare(const BoardArray& board) {
    for (int index = 0; index < 64; ++index) {  // File outer, Rank inner
        if (board[index] < 0 && CountFreeNeighbours(board, SquareAt(index)) == 0) return true;
    }
    return false;
}
