// The tour search on square sets.
//
// The choices of one level depend only on its free squares, which do not
// change while the level runs: a square tried and given up is free again for
// the onward counts and the cut-off test. So a level works out once, when it
// starts, the order in which it will try its candidates (fewest free onward
// squares first, ties to the earlier one in the neighbour order) and then
// takes them one by one. A square tried at this level is simply one already
// taken from that order.
//
// The cut-off test asks whether some free square has no free knight
// neighbour. When a level starts, the level above has passed the test on its
// own free squares; placing its square c can only cut off free neighbours of
// c, and those are exactly this level's candidates, whose onward counts are
// made anyway. So below the first level the test costs nothing extra; the
// first level tests the whole board.
//
// The levels are kept in an array on the stack, one small record each, and
// walked without recursion.
//
// Most of the work is counting onward squares. Unless the whole program is
// built for it, the search is compiled twice, once for processors with a
// population count instruction and once without, and picks one when it starts.
#include "FastTourSearch.h"

#include "../settings/Settings.h"
#include "KnightBits.h"
#include "SearchTick.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__)) && \
    !defined(__POPCNT__)
#define WORVAN_CHOOSE_COUNT_INSTRUCTION 1
#define WORVAN_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define WORVAN_CHOOSE_COUNT_INSTRUCTION 0
#define WORVAN_ALWAYS_INLINE inline
#endif

namespace {

// The two ways of counting the squares of a set: the portable one, and the
// processor's instruction (used only in code compiled for it).
enum class Counting { Portable, Instruction };

template <Counting How>
WORVAN_ALWAYS_INLINE int Count(SquareSet set) {
#if WORVAN_CHOOSE_COUNT_INSTRUCTION
    if constexpr (How == Counting::Instruction) return __builtin_popcountll(set);
#endif
    return CountSquares(set);
}

struct Level {
    SquareSet Free;  // free squares at this level, those it has tried included
    uint64_t Order;  // squares still to try, one index per byte, the next in the low byte
    int32_t Left;    // how many squares Order still holds
};

// Sets up the level that places move d with the given candidates and free
// squares. A level with nothing to try (no candidate, or a square cut off)
// gets an empty order.
template <Counting How>
WORVAN_ALWAYS_INLINE void StartLevel(Level& level, SquareSet candidates, SquareSet free, int32_t d) {
    level.Free = free;
    level.Left = 0;
    if (candidates == 0) return;
    if (d == 63) {
        // The last square of the tour: the first candidate in the neighbour
        // order, without onward counts; placing it completes the tour.
        level.Order = static_cast<uint64_t>(LowestSquare(candidates));
        level.Left = 1;
        return;
    }
    // Candidates come from the lowest bit up, i.e. in the neighbour order.
    // Sorting by (onward count, index) puts the fewest first and keeps the
    // earlier square first on equal counts.
    uint32_t keys[8];
    int32_t count = 0;
    do {
        const int s = LowestSquare(candidates);
        candidates &= candidates - 1;
        const int onward = Count<How>(KnightMoves[s] & free);
        if (onward == 0) return;  // s is cut off: no tour from here
        const uint32_t key = static_cast<uint32_t>(onward) << 6 | static_cast<uint32_t>(s);
        int32_t i = count++;
        while (i > 0 && keys[i - 1] > key) {
            keys[i] = keys[i - 1];
            --i;
        }
        keys[i] = key;
    } while (candidates != 0);
    uint64_t order = 0;
    for (int32_t i = count - 1; i >= 0; --i) order = order << 8 | (keys[i] & 63u);
    level.Order = order;
    level.Left = count;
}

// The free knight neighbours of last in board. last is normally a square of
// the board; the jumps are worked out one by one so that any square is
// handled as the plain search handles it.
SquareSet FreeNeighbours(SquareSet free, Square last) {
    SquareSet neighbours = 0;
    for (KnightJump j : KnightJumps) {
        const Square s{last.File + j.dFile, last.Rank + j.dRank};
        if (IsOnBoard(s)) neighbours |= SquareBit(BoardIndex(s));
    }
    return neighbours & free;
}

template <Counting How>
WORVAN_ALWAYS_INLINE bool Search(GameState& game, const BoardArray& board, Square last) {
    SearchHost& host = SearchHostOf(game.BoardWindow);
    const int32_t first = game.SearchDepth + 1;  // the index of the first move to place
    if (first >= 64) {
        game.SearchDepth = first;
        return true;
    }

    Level levels[64];
    const SquareSet free = FreeSquaresOf(board);
    StartLevel<How>(levels[first], FreeNeighbours(free, last), free, first);
    if (first < 63 && HasIsolatedSquareIn(free)) levels[first].Left = 0;

    int32_t d = first;
    for (;;) {
        Level& level = levels[d];
        if (level.Left == 0) {
            // This level fails; the one above looks at the cancel flag and the
            // clock before it tries its next square.
            if (d == first) {
                game.SearchDepth = first - 1;
                return false;
            }
            --d;
            game.SearchDepth = d;
            if (game.SearchStartTick == 0 ||
                host.TickCount() - game.SearchStartTick > static_cast<uint32_t>(Settings.CalcDuration)) {
                // Stopped: every level above would stop at once without
                // looking at anything, so the whole search ends here.
                game.SearchDepth = first - 1;
                game.SearchStartTick = 0;
                return false;
            }
            continue;
        }

        const int c = static_cast<int>(level.Order & 0xFF);
        level.Order >>= 8;
        level.Left -= 1;
        game.Solution[d] = SquareAt(c);
        game.SearchDepth = d;
        const CancelInput input = host.PollCancelInput();
        if (input == CancelInput::KeyPress || input == CancelInput::LeftButton) game.SearchStartTick = 0;
        host.ShowWaitCursor();

        if (d == 63) {
            game.SearchDepth = 64;  // all 64 squares placed
            return true;
        }
        const SquareSet childFree = level.Free & ~SquareBit(c);
        StartLevel<How>(levels[d + 1], KnightMoves[c] & childFree, childFree, d + 1);
        ++d;
    }
}

bool SearchPortable(GameState& game, const BoardArray& board, Square last) {
    return Search<Counting::Portable>(game, board, last);
}

#if WORVAN_CHOOSE_COUNT_INSTRUCTION
__attribute__((target("popcnt"))) bool SearchWithCountInstruction(GameState& game, const BoardArray& board,
                                                                  Square last) {
    return Search<Counting::Instruction>(game, board, last);
}
#endif

SquareCounting squareCounting = SquareCounting::Automatic;

}  // namespace

void SetSquareCounting(SquareCounting how) { squareCounting = how; }

bool SearchTourFast(GameState& game, const BoardArray& board, Square last) {
#if WORVAN_CHOOSE_COUNT_INSTRUCTION
    __builtin_cpu_init();
    if (squareCounting == SquareCounting::Automatic && __builtin_cpu_supports("popcnt"))
        return SearchWithCountInstruction(game, board, last);
#endif
    return SearchPortable(game, board, last);
}
