// The board as a 64-bit set: bit i stands for the square with BoardIndex i
// (File * 8 + Rank), so the rank is the low three bits of a bit's index.
#pragma once

#include <array>
#include <cstdint>

#include "BoardArray.h"
#include "Square.h"

using SquareSet = uint64_t;

constexpr SquareSet SquareBit(int index) { return SquareSet{1} << index; }

// The knight neighbours of every square, as sets.
constexpr std::array<SquareSet, 64> MakeKnightMoves() {
    std::array<SquareSet, 64> moves{};
    for (int index = 0; index < 64; ++index) {
        const Square from = SquareAt(index);
        for (KnightJump j : KnightJumps) {
            const Square to{from.File + j.dFile, from.Rank + j.dRank};
            if (IsOnBoard(to)) moves[index] |= SquareBit(BoardIndex(to));
        }
    }
    return moves;
}
inline constexpr std::array<SquareSet, 64> KnightMoves = MakeKnightMoves();

// A jump (dF, dR) moves a square's index by dF * 8 + dR. Because |dR| < 4 these
// offsets grow in the same order as the fixed jump order, so the neighbours of
// a square taken from the lowest bit up come in the fixed neighbour order; the
// solver's tie-breaks rely on this.
constexpr bool JumpOffsetsFollowTheJumpOrder() {
    for (size_t i = 1; i < KnightJumps.size(); ++i) {
        const int before = KnightJumps[i - 1].dFile * 8 + KnightJumps[i - 1].dRank;
        const int after = KnightJumps[i].dFile * 8 + KnightJumps[i].dRank;
        if (before >= after) return false;
    }
    return true;
}
static_assert(JumpOffsetsFollowTheJumpOrder(), "neighbour order must equal bit order");

// Number of squares in a set. The plain sum of bits is used where the
// compiler may not assume the processor's own population count instruction.
inline int CountSquares(SquareSet set) {
#if defined(__POPCNT__) && (defined(__GNUC__) || defined(__clang__))
    return __builtin_popcountll(set);
#else
    set = set - ((set >> 1) & 0x5555555555555555ull);
    set = (set & 0x3333333333333333ull) + ((set >> 2) & 0x3333333333333333ull);
    set = (set + (set >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((set * 0x0101010101010101ull) >> 56);
#endif
}

// Index of the lowest square of a non-empty set.
inline int LowestSquare(SquareSet set) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(set);
#else
    int index = 0;
    while ((set & 1) == 0) {
        set >>= 1;
        ++index;
    }
    return index;
#endif
}

// Every square a knight's jump away from some square of the set. The rank
// masks keep a jump from wrapping from one file into the next.
constexpr SquareSet KnightSpread(SquareSet set) {
    constexpr SquareSet notRank0 = ~0x0101010101010101ull;
    constexpr SquareSet notRank01 = ~0x0303030303030303ull;
    constexpr SquareSet notRank7 = ~0x8080808080808080ull;
    constexpr SquareSet notRank67 = ~0xC0C0C0C0C0C0C0C0ull;
    const SquareSet up1 = set & notRank7, up2 = set & notRank67;
    const SquareSet down1 = set & notRank0, down2 = set & notRank01;
    return (up1 << 17) | (up1 >> 15) | (down1 << 15) | (down1 >> 17) |  // two files, one rank
           (up2 << 10) | (up2 >> 6) | (down2 << 6) | (down2 >> 10);     // one file, two ranks
}

// The free squares of a board array: every negative value, tried marks included.
inline SquareSet FreeSquaresOf(const BoardArray& board) {
    SquareSet free = 0;
    for (int index = 0; index < 64; ++index) {
        if (board[index] < 0) free |= SquareBit(index);
    }
    return free;
}

// HasIsolatedSquare on sets: some free square has no free knight neighbour.
// Knight moves are symmetric, so the squares with a free neighbour are the
// spread of the free set.
constexpr bool HasIsolatedSquareIn(SquareSet free) { return (free & ~KnightSpread(free)) != 0; }
