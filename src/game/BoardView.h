// What the play logic asks of the board window on the screen.
#pragma once

#include "SearchHost.h"
#include "Square.h"

enum class BeepKind {
    Plain,    // a refused click, an advice without a square
    Warning,  // a search that found no tour
};

class BoardView : public SearchHost {
public:
    // Mark a square for repainting; it is painted when the queue runs empty.
    virtual void RepaintSquare(Square s) = 0;
    // Mark a square and paint what is pending at once.
    virtual void RepaintSquareNow(Square s) = 0;
    virtual void RepaintBoardNow() = 0;
    virtual void Beep(BeepKind kind) = 0;
    virtual void ShowNoEntryCursor() = 0;
    virtual void TakeFocus() = 0;
    // The score box; returns when the player closes it.
    virtual void ShowScore(int moves, int errors, int advices) = 0;

protected:
    ~BoardView() = default;
};
