#include <gtest/gtest.h>

#include "FakeSearchHost.h"
#include "TestPositions.h"
#include "game/GameState.h"
#include "settings/Settings.h"

namespace {

class TourSolver : public ::testing::Test {
protected:
    GameState game;
    FakeSearchHost host;
    int32_t savedLimit = Settings.CalcDuration;

    void SetUp() override {
        game.BoardWindow = &host;
        Settings.CalcDuration = 1000;
    }
    void TearDown() override { Settings.CalcDuration = savedLimit; }

    // A complete tour found from a1 (the search reaches it without backing up).
    static MoveArray TourFromA1() {
        GameState g;
        g.MakeMove(Sq("a1"));
        EXPECT_TRUE(g.FindTour(true));
        return g.MoveList;
    }
};

TEST_F(TourSolver, FromA1TheTourFollowsWarnsdorffWithoutBackingUp) {
    game.MakeMove(Sq("a1"));
    EXPECT_TRUE(game.FindTour(true));
    EXPECT_EQ(game.MoveCount, NoIndex);
    EXPECT_TRUE(IsTour(game.MoveList));
    const std::vector<Square> begin = Squares({"a1", "b3", "a5", "b7", "d8", "f7"});
    for (size_t i = 0; i < begin.size(); ++i) EXPECT_EQ(game.MoveList[i], begin[i]) << i;
    for (int i = 0; i < 64; ++i) EXPECT_EQ(game.Board[BoardIndex(game.MoveList[i])], i);
    EXPECT_EQ(host.Polls, 63u);  // one poll per placed square, none wasted
    EXPECT_EQ(game.SearchStartTick, 0u);
    EXPECT_EQ(host.RefreshCalls, 1);
    EXPECT_EQ(game.FirstDoubtIndex, NoIndex);
}

struct NothingCase {
    const char* name;
    int movesMade;  // -1 = replay mode
    bool fill;
};

TEST_F(TourSolver, NothingToSearchReturnsTrueAndTouchesNothing) {
    const NothingCase cases[] = {
        {"no move, fill", 0, true},
        {"no move, check", 0, false},
        {"one move, check", 1, false},
        {"replay mode, fill", -1, true},
        {"replay mode, check", -1, false},
    };
    const MoveArray tour = TourFromA1();
    for (const NothingCase& c : cases) {
        game.Reset();
        if (c.movesMade < 0) {
            for (Square s : tour) game.MakeMove(s);
        } else {
            for (int i = 0; i < c.movesMade; ++i) game.MakeMove(tour[i]);
        }
        game.Solution.fill(Sq("h8"));
        const GameState before = game;
        host.Polls = 0;
        host.RefreshCalls = 0;
        EXPECT_TRUE(game.FindTour(c.fill)) << c.name;
        EXPECT_EQ(host.Polls, 0u) << c.name;
        EXPECT_EQ(host.RefreshCalls, 0) << c.name;
        EXPECT_EQ(game.Solution, before.Solution) << c.name;
        EXPECT_EQ(game.MoveCount, before.MoveCount) << c.name;
        EXPECT_EQ(game.ErrorCounter, before.ErrorCounter) << c.name;
    }
}

TEST_F(TourSolver, AKnownLostPositionIsRefusedAtOnce) {
    Play(game, Squares({"b3", "d4", "c2", "e1"}));  // a1 cut off by move 2
    ASSERT_EQ(game.FirstErrorIndex, 2);
    EXPECT_FALSE(game.FindTour(false));
    EXPECT_FALSE(game.FindTour(true));
    EXPECT_EQ(game.ErrorCounter, 0);
    EXPECT_EQ(game.FirstDoubtIndex, NoIndex);
    EXPECT_EQ(host.Polls, 0u);
    EXPECT_EQ(host.RefreshCalls, 0);
}

TEST_F(TourSolver, ACheckSearchLeavesTheGameAndFillsTheSolution) {
    Play(game, Squares({"a1", "b3"}));
    const GameState before = game;
    EXPECT_TRUE(game.FindTour(false));
    EXPECT_EQ(game.MoveCount, 2);
    EXPECT_EQ(game.Board, before.Board);
    EXPECT_EQ(game.MoveList, before.MoveList);
    EXPECT_TRUE(IsTour(game.Solution));
    EXPECT_EQ(game.Solution[0], Sq("a1"));
    EXPECT_EQ(game.Solution[1], Sq("b3"));
}

TEST_F(TourSolver, SixtyThreeMovesWithTheLastSquareInReach) {
    const MoveArray tour = TourFromA1();
    for (int i = 0; i < 63; ++i) game.MakeMove(tour[i]);
    ASSERT_EQ(game.MoveCount, 63);
    EXPECT_TRUE(game.FindTour(true));
    EXPECT_EQ(game.MoveCount, NoIndex);
    EXPECT_EQ(game.MoveList[63], tour[63]);
}

TEST_F(TourSolver, SixtyThreeMovesWithTheLastSquareOutOfReach) {
    // The tour from a1 without its first square: 63 moves, a1 left free and
    // not a knight's move from the last square. Moves alone never lead here
    // unmarked (the move that cut a1 off set the error mark), so the test
    // clears the mark to see what the search itself concludes.
    const MoveArray tour = TourFromA1();
    ASSERT_FALSE(IsKnightJump(tour[63], tour[0]));
    for (int i = 1; i < 64; ++i) game.MakeMove(tour[i]);
    ASSERT_EQ(game.MoveCount, 63);
    game.FirstErrorIndex = NoIndex;
    EXPECT_FALSE(game.FindTour(true));
    EXPECT_EQ(game.FirstErrorIndex, 62);
    EXPECT_EQ(game.FirstDoubtIndex, 62);
    EXPECT_EQ(game.ErrorCounter, 1);
    EXPECT_EQ(game.MoveCount, 63);
    EXPECT_EQ(game.SearchDepth, 62);
}

TEST_F(TourSolver, TheSixtyThirdMoveNeverSetsTheErrorMark) {
    // After 63 moves the last free square is reachable only from the knight's
    // own square, which counts as cut off; move index 62 never sets the mark.
    const MoveArray tour = TourFromA1();
    for (int i = 0; i < 63; ++i) game.MakeMove(tour[i]);
    EXPECT_EQ(game.MoveCount, 63);
    EXPECT_TRUE(HasIsolatedSquare(game.Board));
    EXPECT_EQ(game.FirstErrorIndex, NoIndex);
}

// A position without a tour that the pruning does not see at once: the
// search has to back up many times before it is exhausted.
const char* const HardLostPosition = "E3;C4;E5;G6;E7;C8;B6;A8;C7;E8;G7;E6;D4;B3;C5;D3;F4;H3;G1;F3;G5;H7";

TEST_F(TourSolver, AnExhaustedSearchMarksTheLastMoveAsLost) {
    game.LoadFromText(Widen(HardLostPosition));
    const int32_t n = game.MoveCount;
    ASSERT_EQ(game.FirstErrorIndex, NoIndex);
    EXPECT_FALSE(game.FindTour(false));
    EXPECT_GT(host.Polls, 1000u);
    EXPECT_EQ(game.FirstErrorIndex, n - 1);
    EXPECT_EQ(game.FirstDoubtIndex, n - 1);
    EXPECT_EQ(game.ErrorCounter, 1);
    EXPECT_EQ(game.SearchDepth, n - 1);
    EXPECT_EQ(game.SearchStartTick, 0u);
    EXPECT_EQ(host.RefreshCalls, 1);
}

struct StopCase {
    const char* name;
    uint32_t startClock;
    int32_t limit;
    uint64_t keyPressAt;  // 0 = none
};

TEST_F(TourSolver, StoppedSearchesSetOnlyTheDoubtMark) {
    const StopCase cases[] = {
        {"time limit", 5000, 100, 0},
        {"time limit across the clock's wrap-around", 0xFFFFFFC0u, 100, 0},
        {"key press", 5000, 1000000, 50},
    };
    for (const StopCase& c : cases) {
        game.Reset();
        game.LoadFromText(Widen(HardLostPosition));
        host = FakeSearchHost{};
        host.Clock = c.startClock;
        host.ClockStepPerPoll = 1;
        host.KeyPressAtPoll = c.keyPressAt;
        Settings.CalcDuration = c.limit;
        const int32_t n = game.MoveCount;
        EXPECT_FALSE(game.FindTour(false)) << c.name;
        EXPECT_EQ(game.FirstErrorIndex, NoIndex) << c.name;
        EXPECT_EQ(game.FirstDoubtIndex, n - 1) << c.name;
        EXPECT_EQ(game.ErrorCounter, 1) << c.name;
        EXPECT_EQ(game.SearchStartTick, 0u) << c.name;
        EXPECT_EQ(host.RefreshCalls, 1) << c.name;
        if (c.keyPressAt != 0) {
            // Stopped at the first backtrack after the key press.
            EXPECT_GE(host.Polls, c.keyPressAt) << c.name;
            EXPECT_LT(host.Polls, c.keyPressAt + 64) << c.name;
        } else {
            // The clock advances one per square: the search stops at the first
            // backtrack after more than `limit` squares, never at the wrap.
            EXPECT_GT(host.Polls, static_cast<uint64_t>(c.limit)) << c.name;
            EXPECT_LT(host.Polls, static_cast<uint64_t>(c.limit) + 64) << c.name;
        }
    }
}

TEST_F(TourSolver, NoStopWithoutBackingUp) {
    // Past the limit and a key press pending: a search that never backs up still finds its tour.
    game.MakeMove(Sq("a1"));
    host.ClockStepPerPoll = 100000;
    host.KeyPressAtPoll = 3;
    Settings.CalcDuration = 1;
    EXPECT_TRUE(game.FindTour(true));
    EXPECT_EQ(game.MoveCount, NoIndex);
}

TEST_F(TourSolver, OtherInputDoesNotCancel) {
    game.LoadFromText(Widen(HardLostPosition));
    for (int i = 0; i < 100; ++i) host.Queue.push_back(CancelInput::Other);
    EXPECT_FALSE(game.FindTour(false));
    EXPECT_EQ(game.FirstErrorIndex, game.MoveCount - 1);  // exhausted, not stopped
}

TEST_F(TourSolver, ALeftClickCancels) {
    game.LoadFromText(Widen(HardLostPosition));
    host.Queue = {CancelInput::Other, CancelInput::LeftButton};
    EXPECT_FALSE(game.FindTour(false));
    EXPECT_EQ(game.FirstErrorIndex, NoIndex);
    EXPECT_LT(host.Polls, 100u);
}

TEST_F(TourSolver, AClockReadingZeroAtTheStartDoesNotLookLikeAStop) {
    game.LoadFromText(Widen(HardLostPosition));
    host.Clock = 0;
    EXPECT_FALSE(game.FindTour(false));
    EXPECT_EQ(game.FirstErrorIndex, game.MoveCount - 1);  // exhausted, reported as such
    EXPECT_GT(host.Polls, 1000u);
}

TEST_F(TourSolver, TheDoubtMarkKeepsTheEarliestIndexAndClearsOnSuccess) {
    game.LoadFromText(Widen(HardLostPosition));
    host.ClockStepPerPoll = 1;
    Settings.CalcDuration = 10;
    const int32_t first = game.MoveCount - 1;
    EXPECT_FALSE(game.FindTour(false));
    EXPECT_EQ(game.FirstDoubtIndex, first);
    game.MakeMove(Sq("f8"));  // h7 -> f8; still no tour, and again too little time
    ASSERT_EQ(game.MoveCount, first + 2);
    EXPECT_FALSE(game.FindTour(false));
    EXPECT_EQ(game.FirstDoubtIndex, first);
    EXPECT_EQ(game.ErrorCounter, 2);
    // Back to the start of a position with a tour: the doubt mark goes.
    game.Reset();
    Play(game, Squares({"a1", "b3"}));
    game.FirstDoubtIndex = 1;
    Settings.CalcDuration = 1000;
    EXPECT_TRUE(game.FindTour(false));
    EXPECT_EQ(game.FirstDoubtIndex, NoIndex);
}

TEST_F(TourSolver, WaitCursorOncePerPlacedSquare) {
    game.LoadFromText(Widen(HardLostPosition));
    game.FindTour(false);
    EXPECT_EQ(static_cast<uint64_t>(host.WaitCursorCalls), host.Polls);
}

}  // namespace
