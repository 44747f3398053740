// A board coordinate and the fixed orders in which the game walks the board.
#pragma once

#include <array>
#include <cstdint>

struct Square {
    int32_t File;  // column 0..7 from the left (letters a..h)
    int32_t Rank;  // row 0..7 from the bottom (digits 1..8)
};

constexpr Square NoSquare{-1, -1};

constexpr bool operator==(Square a, Square b) { return a.File == b.File && a.Rank == b.Rank; }
constexpr bool operator!=(Square a, Square b) { return !(a == b); }

constexpr bool IsOnBoard(Square s) { return s.File >= 0 && s.File <= 7 && s.Rank >= 0 && s.Rank <= 7; }

// Index of a square in a board array: File * 8 + Rank.
constexpr int BoardIndex(Square s) { return s.File * 8 + s.Rank; }
constexpr Square SquareAt(int index) { return Square{index / 8, index % 8}; }

// The knight's jumps in the order every neighbour scan uses: dF from -2 to +2
// in the outer loop, dR from -2 to +2 in the inner loop. Tie-breaks of the
// solver depend on this order.
struct KnightJump {
    int32_t dFile;
    int32_t dRank;
};
constexpr std::array<KnightJump, 8> KnightJumps{{
    {-2, -1}, {-2, +1}, {-1, -2}, {-1, +2}, {+1, -2}, {+1, +2}, {+2, -1}, {+2, +1},
}};

constexpr bool IsKnightJump(Square from, Square to) {
    int32_t dF = to.File - from.File;
    int32_t dR = to.Rank - from.Rank;
    int32_t aF = dF < 0 ? -dF : dF;
    int32_t aR = dR < 0 ? -dR : dR;
    return dF != 0 && dR != 0 && aF + aR == 3;
}

// The square under a point of the board window, or NoSquare when the point
// lies on no square (or the cell size is 0).
constexpr Square SquareFromPoint(int32_t x, int32_t y, int32_t cellSize) {
    if (cellSize == 0) return NoSquare;
    Square s{x / cellSize, 7 - y / cellSize};
    return IsOnBoard(s) ? s : NoSquare;
}

// Pixel rectangle of a square in the board window.
struct PixelRect {
    int32_t left, top, right, bottom;
};
constexpr PixelRect SquareRect(Square s, int32_t cellSize) {
    return PixelRect{s.File * cellSize, (7 - s.Rank) * cellSize, (s.File + 1) * cellSize,
                     (8 - s.Rank) * cellSize};
}

// A square is white when File + Rank is odd; a1 is black.
constexpr bool IsWhiteSquare(Square s) { return ((s.File + s.Rank) & 1) != 0; }
