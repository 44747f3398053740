#include <gtest/gtest.h>

#include <cstdint>

#include "game/BoardArray.h"
#include "game/KnightBits.h"

namespace {

TEST(KnightBits, MoveSetsHoldExactlyTheKnightJumps) {
    for (int from = 0; from < 64; ++from) {
        for (int to = 0; to < 64; ++to) {
            const bool inSet = (KnightMoves[from] & SquareBit(to)) != 0;
            EXPECT_EQ(inSet, IsKnightJump(SquareAt(from), SquareAt(to))) << from << " -> " << to;
        }
    }
}

// Bit order equals the fixed neighbour order: the k-th lowest bit of a move
// set is the k-th on-board jump of KnightJumps.
TEST(KnightBits, LowestBitFirstFollowsTheNeighbourOrder) {
    for (int from = 0; from < 64; ++from) {
        SquareSet rest = KnightMoves[from];
        for (KnightJump j : KnightJumps) {
            const Square s{SquareAt(from).File + j.dFile, SquareAt(from).Rank + j.dRank};
            if (!IsOnBoard(s)) continue;
            ASSERT_NE(rest, 0u) << from;
            EXPECT_EQ(LowestSquare(rest), BoardIndex(s)) << from;
            rest &= rest - 1;
        }
        EXPECT_EQ(rest, 0u) << from;
    }
}

uint64_t NextRandom(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

struct DensityCase {
    const char* name;
    int freeInSixteen;  // chance of a square being free, in sixteenths
};

// The set forms against the board-array forms, on random boards whose free
// squares hold -1 or a tried mark.
TEST(KnightBits, SetFormsAgreeWithTheBoardArray) {
    const DensityCase cases[] = {
        {"nearly full", 1}, {"a quarter free", 4}, {"half free", 8}, {"mostly free", 13}, {"nearly empty", 15},
    };
    uint64_t state = 12345;
    for (const DensityCase& c : cases) {
        int isolated = 0;
        for (int round = 0; round < 2000; ++round) {
            BoardArray board;
            for (int i = 0; i < 64; ++i) {
                const uint64_t r = NextRandom(state);
                const bool free = static_cast<int>(r % 16) < c.freeInSixteen;
                board[i] = free ? ((r >> 8) % 3 == 0 ? -100 - static_cast<int32_t>((r >> 16) % 64) : -1)
                                : static_cast<int32_t>((r >> 8) % 64);
            }
            const SquareSet free = FreeSquaresOf(board);
            for (int i = 0; i < 64; ++i) {
                EXPECT_EQ((free & SquareBit(i)) != 0, board[i] < 0);
                EXPECT_EQ(CountSquares(KnightMoves[i] & free), CountFreeNeighbours(board, SquareAt(i)));
            }
            const bool expected = HasIsolatedSquare(board);
            EXPECT_EQ(HasIsolatedSquareIn(free), expected) << c.name << " round " << round;
            isolated += expected ? 1 : 0;
        }
        // Every density except the extremes must produce both answers.
        if (c.freeInSixteen > 1 && c.freeInSixteen < 15) {
            EXPECT_GT(isolated, 0) << c.name;
            EXPECT_LT(isolated, 2000) << c.name;
        }
    }
}

TEST(KnightBits, CountSquaresOnEdgeSets) {
    const struct {
        SquareSet set;
        int count;
    } cases[] = {
        {0, 0}, {1, 1}, {SquareSet{1} << 63, 1}, {~SquareSet{0}, 64}, {0x8000000000000001ull, 2},
        {0x5555555555555555ull, 32}, {0xF0F0F0F0F0F0F0F0ull, 32}, {0x00FF00000000FF00ull, 16},
    };
    for (const auto& c : cases) EXPECT_EQ(CountSquares(c.set), c.count) << std::hex << c.set;
}

}  // namespace
