#include <gtest/gtest.h>

#include "TestPositions.h"
#include "game/GameState.h"

namespace {

TEST(GameState, ResetGivesAnEmptyBoardAndNoMarks) {
    GameState game;
    EXPECT_EQ(game.MoveCount, 0);
    EXPECT_EQ(game.FirstDoubtIndex, NoIndex);
    EXPECT_EQ(game.FirstErrorIndex, NoIndex);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(game.Board[i], -1);
        EXPECT_EQ(game.MoveList[i], NoSquare);
        EXPECT_EQ(game.Solution[i], NoSquare);
    }
}

TEST(GameState, EverySquareIsLegalOnAnEmptyBoard) {
    GameState game;
    for (int i = 0; i < 64; ++i) EXPECT_TRUE(game.IsLegalMove(SquareAt(i)));
}

struct NeighbourCase {
    const char* start;
    int expectedLegal;
};

class LegalAfterFirstMove : public ::testing::TestWithParam<NeighbourCase> {};

TEST_P(LegalAfterFirstMove, ExactlyTheKnightNeighboursAreLegal) {
    GameState game;
    const Square start = Sq(GetParam().start);
    game.MakeMove(start);
    int legal = 0;
    for (int i = 0; i < 64; ++i) {
        const Square s = SquareAt(i);
        EXPECT_EQ(game.IsLegalMove(s), IsKnightJump(start, s)) << i;
        legal += game.IsLegalMove(s) ? 1 : 0;
    }
    EXPECT_EQ(legal, GetParam().expectedLegal);
}

INSTANTIATE_TEST_SUITE_P(Corners, LegalAfterFirstMove,
                         ::testing::Values(NeighbourCase{"a1", 2}, NeighbourCase{"h8", 2},
                                           NeighbourCase{"b1", 3}, NeighbourCase{"b2", 4},
                                           NeighbourCase{"c3", 8}, NeighbourCase{"e4", 8},
                                           NeighbourCase{"a4", 4}));

struct IllegalCase {
    const char* name;
    Square square;
};

TEST(GameState, IllegalSquaresAfterA1) {
    GameState game;
    Play(game, Squares({"a1", "b3"}));
    const IllegalCase cases[] = {
        {"visited a1, a knight move away", Sq("a1")},
        {"the knight's own square", Sq("b3")},
        {"not a knight move", Sq("b4")},
        {"off the board, negative file", Square{-1, 1}},
        {"off the board, rank 8", Square{2, 8}},
        {"no square", NoSquare},
    };
    for (const IllegalCase& c : cases) EXPECT_FALSE(game.IsLegalMove(c.square)) << c.name;
    EXPECT_TRUE(game.IsLegalMove(Sq("c1")));
}

TEST(GameState, OnlyExactlyMinusOneIsFree) {
    GameState game;
    Play(game, Squares({"a1"}));
    game.Board[BoardIndex(Sq("b3"))] = -100;  // a tried mark never appears on the game board
    EXPECT_FALSE(game.IsLegalMove(Sq("b3")));
    EXPECT_TRUE(game.IsLegalMove(Sq("c2")));
}

TEST(GameState, MakeMoveRecordsTheMove) {
    GameState game;
    Play(game, Squares({"a1", "b3", "c1"}));
    EXPECT_EQ(game.MoveCount, 3);
    EXPECT_EQ(game.MoveCounter, 3);
    EXPECT_EQ(game.MoveList[2], Sq("c1"));
    EXPECT_EQ(game.Board[BoardIndex(Sq("b3"))], 1);
    EXPECT_EQ(game.MoveList[3], NoSquare);
}

TEST(GameState, MakeMoveOffTheBoardDoesNothing) {
    GameState game;
    game.MakeMove(Square{8, 0});
    game.MakeMove(NoSquare);
    EXPECT_EQ(game.MoveCount, 0);
    EXPECT_EQ(game.MoveCounter, 0);
}

TEST(GameState, IsolatingAFreeSquareSetsTheErrorIndexOnce) {
    GameState game;
    // a1's neighbours are b3 and c2; visiting both leaves a1 without a free neighbour.
    Play(game, Squares({"b3", "d4", "c2"}));
    EXPECT_EQ(game.FirstErrorIndex, 2);
    // A later isolating move does not move the mark.
    Play(game, Squares({"e1", "g2", "h4", "f3", "h2"}));
    EXPECT_EQ(game.FirstErrorIndex, 2);
}

TEST(GameState, IsolatedSquareReachableOnlyFromTheKnightCounts) {
    BoardArray board;
    board.fill(-1);
    board[BoardIndex(Sq("b3"))] = 0;  // the knight; a1 then needs c2
    EXPECT_FALSE(HasIsolatedSquare(board));
    board[BoardIndex(Sq("c2"))] = 1;
    EXPECT_TRUE(HasIsolatedSquare(board));
    board[BoardIndex(Sq("a1"))] = -105;  // a tried mark counts as free, still isolated
    EXPECT_TRUE(HasIsolatedSquare(board));
}

TEST(GameState, TakeBackUndoesTheLastMove) {
    GameState game;
    Play(game, Squares({"a1", "b3", "c1"}));
    game.TakeBack();
    EXPECT_EQ(game.MoveCount, 2);
    EXPECT_EQ(game.MoveList[2], NoSquare);
    EXPECT_EQ(game.Board[BoardIndex(Sq("c1"))], -1);
    EXPECT_EQ(game.MoveCounter, 4);  // three moves and one take-back
    EXPECT_TRUE(game.IsLegalMove(Sq("c1")));
}

TEST(GameState, TakeBackOfTheMarkedMoveClearsTheMark) {
    GameState game;
    Play(game, Squares({"b3", "d4", "c2", "e1"}));
    ASSERT_EQ(game.FirstErrorIndex, 2);
    game.FirstDoubtIndex = 3;
    game.TakeBack();  // takes back index 3: doubt cleared, error kept
    EXPECT_EQ(game.FirstDoubtIndex, NoIndex);
    EXPECT_EQ(game.FirstErrorIndex, 2);
    game.TakeBack();  // index 2 carried the error mark
    EXPECT_EQ(game.FirstErrorIndex, NoIndex);
}

TEST(GameState, TakeBackOnAnEmptyBoardIsAReset) {
    GameState game;
    Play(game, Squares({"a1"}));
    game.TakeBack();
    game.ErrorCounter = 5;
    game.TakeBack();
    EXPECT_EQ(game.MoveCounter, 0);
    EXPECT_EQ(game.ErrorCounter, 0);
}

TEST(GameState, ResetKeepsSearchFieldsAndHost) {
    GameState game;
    game.SearchDepth = 17;
    game.SearchStartTick = 42;
    game.Reset();
    EXPECT_EQ(game.SearchDepth, 17);
    EXPECT_EQ(game.SearchStartTick, 42u);
}

}  // namespace
