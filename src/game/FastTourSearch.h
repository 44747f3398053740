// The tour search on 64-bit square sets: the one the game runs.
#pragma once

#include "BoardArray.h"
#include "GameState.h"
#include "Square.h"

// Searches on from board, the knight standing on last, with game.SearchDepth
// holding the index of the move placed last and game.SearchStartTick the
// start of the search. It visits the same squares in the same order as
// GameState::SearchFrom, writes game.Solution, game.SearchDepth and
// game.SearchStartTick as that does and makes the same calls to the host at
// the same points; it returns whether a tour was found.
//
// board holds -1 for a free square and a move index for a visited one.
bool SearchTourFast(GameState& game, const BoardArray& board, Square last);

// How the search counts the squares of a set. Automatic uses the processor's
// population count instruction where it has one; Portable never does, as on
// processors without it (the tests pin it to check that form as well).
enum class SquareCounting { Automatic, Portable };
void SetSquareCounting(SquareCounting how);
