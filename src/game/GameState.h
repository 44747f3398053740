// The record of one game: the moves, the marks, two score figures and the
// solver's scratch space, with the rules of play and the tour solver.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "BoardArray.h"
#include "SearchHost.h"
#include "Square.h"

// 99 stands for "none" in MoveCount (tour complete), FirstDoubtIndex and FirstErrorIndex.
constexpr int32_t NoIndex = 99;

using MoveArray = std::array<Square, 64>;

struct GameState {
    SearchHost* BoardWindow = nullptr;  // where the solver polls input and refreshes the cursor
    BoardArray Board{};
    MoveArray MoveList{};
    int32_t MoveCount = 0;  // 0..63 in play mode, 99 in replay mode
    int32_t FirstDoubtIndex = NoIndex;
    MoveArray Solution{};
    int32_t SearchDepth = 0;
    int32_t MoveCounter = 0;   // score "Moves"
    int32_t ErrorCounter = 0;  // score "Errors"
    uint32_t SearchStartTick = 0;  // nonzero while a search runs and has not been stopped
    int32_t FirstErrorIndex = NoIndex;

    GameState() { Reset(); }

    bool IsReplayMode() const { return MoveCount == NoIndex; }

    void Reset();
    bool IsLegalMove(Square s) const;
    void MakeMove(Square s);
    void TakeBack();

    // The tour solver. fill = write a found tour into the game.
    bool FindTour(bool fill);
    // One level of the plain, board-copying form of the search and its choice
    // of the next square; FindTourLiteral (LiteralTourSearch.h) runs them as
    // the reference for the set-based search that FindTour uses.
    bool SearchFrom(const BoardArray& parent, Square last);
    Square ChooseNextSquare(const BoardArray& board, Square current) const;

    // Position text: "A1;B3;C1".
    std::wstring ToText() const;
    void LoadFromText(const std::wstring& text);
};
