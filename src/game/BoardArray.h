// The board array: one signed value per square at index File * 8 + Rank.
#pragma once

#include <array>
#include <cstdint>

#include "Square.h"

// -1 = free, 0..63 = index of the move that visited the square. The solver's
// private copies also hold tried marks (-100 - d); every freedom test inside
// the solver therefore asks "negative?".
using BoardArray = std::array<int32_t, 64>;

constexpr int32_t FreeSquare = -1;

// True when some free (negative) square has no free knight neighbour.
bool HasIsolatedSquare(const BoardArray& board);

// Number of knight neighbours of s whose value in board is negative.
int CountFreeNeighbours(const BoardArray& board, Square s);
