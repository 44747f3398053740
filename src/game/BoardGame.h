// The game behaviour of the board window: clicks, the five board commands,
// replay browsing, the hint and the score, over a BoardView.
#pragma once

#include <cstdint>

#include "BoardView.h"
#include "GameState.h"

// The board commands (sent as WM_COMMAND ids to the board window).
enum BoardCommand : int {
    CmdNewGame = 1008,
    CmdBack = 1009,
    CmdForwardOrAdvice = 1010,
    CmdFirst = 1012,
    CmdLastOrSolution = 1013,
};

// What the cursor over a square should be.
enum class BoardCursorKind { Unchanged, Wait, Board, NoEntry };

class BoardGame {
public:
    int32_t CellSize = 60;  // the board window's copy of the cell size
    GameState Game;
    Square HintSquare = ::NoSquare;
    int32_t AdviceCounter = 0;
    const Square NoSquare = ::NoSquare;
    int32_t ReplayIndex = 63;

    // The window that shows the game; set when it is created, before Reset.
    void Attach(BoardView* view);

    void OnClick(int32_t x, int32_t y);
    // True when id is one of the five board commands (and it was handled).
    bool OnCommand(int id);
    void SetReplayIndex(int32_t index);
    void ClearHint();
    BoardCursorKind CursorAt(int32_t x, int32_t y) const;

    // The square of move index, or NoSquare when there is no such move.
    Square SquareOfMove(int32_t index) const;
    // Mute-aware beep.
    void Beep(BeepKind kind);

private:
    void Advice();
    void Solution();
    void RepaintMove(int32_t index);

    BoardView* view_ = nullptr;
};
