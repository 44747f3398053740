#include <gtest/gtest.h>

#include "FakeBoardView.h"
#include "TestPositions.h"
#include "game/BoardGame.h"
#include "settings/Settings.h"

namespace {

using Repaint = FakeBoardView::Repaint;

class BoardPlay : public ::testing::Test {
protected:
    FakeBoardView view;
    BoardGame play;
    SettingsRecord saved = Settings;

    void SetUp() override {
        Settings = SettingsRecord{};
        play.CellSize = 70;
        play.Attach(&view);
        play.Game.Reset();
    }
    void TearDown() override { Settings = saved; }

    // Click the centre of a square.
    void Click(Square s) { play.OnClick(s.File * 70 + 35, (7 - s.Rank) * 70 + 35); }
    void Click(const char* name) { Click(Sq(name)); }

    static MoveArray TourFromA1() {
        GameState g;
        g.MakeMove(Sq("a1"));
        g.FindTour(true);
        return g.MoveList;
    }
    void PlayInto(const std::vector<Square>& moves) {
        for (Square s : moves) Click(s);
        view.Clear();
    }
    void EnterReplay() {
        for (Square s : TourFromA1()) Click(s);
        ASSERT_TRUE(play.Game.IsReplayMode());
        view.Clear();
    }
};

TEST_F(BoardPlay, FirstClickAnywhereMakesMoveZeroWithoutABeep) {
    Click("e4");
    EXPECT_EQ(play.Game.MoveCount, 1);
    EXPECT_TRUE(view.Beeps.empty());
    EXPECT_EQ(view.FocusTaken, 1);
    EXPECT_EQ(view.NoEntryCursors, 1);
    // Only the new square, at once: there is no previous move.
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{Sq("e4"), true}}));
}

TEST_F(BoardPlay, ALegalMoveRepaintsTheNewAndThePreviousSquareAtOnce) {
    PlayInto(Squares({"a1", "b3"}));
    Click("c1");
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{Sq("c1"), true}, {Sq("b3"), true}}));
    EXPECT_TRUE(view.Beeps.empty());
}

TEST_F(BoardPlay, AnIllegalClickBeepsPlainlyAndChangesNothingButTheHint) {
    PlayInto(Squares({"a1", "b3", "c1"}));
    play.OnCommand(CmdForwardOrAdvice);
    ASSERT_NE(play.HintSquare, NoSquare);
    const Square hint = play.HintSquare;
    const GameState before = play.Game;
    view.Clear();
    Click("h8");
    EXPECT_EQ(view.Beeps, std::vector<BeepKind>{BeepKind::Plain});
    EXPECT_EQ(play.Game.MoveCount, before.MoveCount);
    EXPECT_EQ(play.Game.MoveCounter, before.MoveCounter);
    EXPECT_EQ(play.HintSquare, NoSquare);
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{hint, false}}));  // the hint square, not at once
}

TEST_F(BoardPlay, AClickOutsideTheBoardOnlyTakesTheFocus) {
    play.OnClick(8 * 70 + 3, 10);
    play.OnClick(10, 8 * 70 + 3);
    EXPECT_EQ(view.FocusTaken, 2);
    EXPECT_TRUE(view.Beeps.empty());
    EXPECT_EQ(play.Game.MoveCount, 0);
}

TEST_F(BoardPlay, MuteSilencesEveryBeep) {
    Settings.Mute = true;
    PlayInto(Squares({"a1"}));
    Click("h8");
    play.OnCommand(CmdForwardOrAdvice);  // no square: would beep
    EXPECT_TRUE(view.Beeps.empty());
}

TEST_F(BoardPlay, AMoveThatCutsASquareOffWarnsButCountsNoError) {
    PlayInto(Squares({"b3", "d4"}));
    Click("c2");  // a1 has no free neighbour now: the check is refused
    EXPECT_EQ(view.Beeps, std::vector<BeepKind>{BeepKind::Warning});
    EXPECT_EQ(play.Game.ErrorCounter, 0);
    EXPECT_EQ(play.Game.FirstErrorIndex, 2);
}

TEST_F(BoardPlay, WithoutHintsNoSearchRunsAfterAMove) {
    Settings.HintsOn = false;
    PlayInto(Squares({"b3", "d4"}));
    Click("c2");
    EXPECT_TRUE(view.Beeps.empty());
    EXPECT_EQ(view.Search.Polls, 0u);
}

TEST_F(BoardPlay, AdviceRightAfterTheFirstClickFindsNothingButCounts) {
    play.OnCommand(CmdNewGame);
    PlayInto(Squares({"a1"}));
    play.OnCommand(CmdForwardOrAdvice);
    EXPECT_EQ(play.AdviceCounter, 1);
    EXPECT_EQ(play.HintSquare, NoSquare);
    EXPECT_EQ(view.Beeps, std::vector<BeepKind>{BeepKind::Plain});
}

TEST_F(BoardPlay, AdviceProposesTheNextSquareOfTheTourFound) {
    PlayInto(Squares({"a1", "b3"}));
    play.OnCommand(CmdForwardOrAdvice);
    EXPECT_EQ(play.HintSquare, Sq("a5"));
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{Sq("a5"), false}}));
    EXPECT_TRUE(view.Beeps.empty());
    // The next click clears it, legal or not.
    view.Clear();
    Click("a5");
    EXPECT_EQ(play.HintSquare, NoSquare);
    EXPECT_EQ(view.Repaints.front(), (Repaint{Sq("a5"), false}));
}

TEST_F(BoardPlay, AdviceOnALostPositionBeepsPlainly) {
    PlayInto(Squares({"b3", "d4", "c2"}));
    play.OnCommand(CmdForwardOrAdvice);
    EXPECT_EQ(play.HintSquare, NoSquare);
    EXPECT_EQ(view.Beeps, std::vector<BeepKind>{BeepKind::Plain});
    EXPECT_EQ(play.AdviceCounter, 1);
}

TEST_F(BoardPlay, BackInPlayModeRepaintsTheLastTwoSquaresAndTakesBack) {
    PlayInto(Squares({"a1", "b3", "c1"}));
    play.OnCommand(CmdBack);
    EXPECT_EQ(play.Game.MoveCount, 2);
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{Sq("c1"), false}, {Sq("b3"), false}}));
    view.Clear();
    play.OnCommand(CmdBack);
    play.OnCommand(CmdBack);
    EXPECT_EQ(play.Game.MoveCount, 0);
    // The first move has no move before it: only its own square.
    EXPECT_EQ(view.Repaints,
              (std::vector<Repaint>{{Sq("b3"), false}, {Sq("a1"), false}, {Sq("a1"), false}}));
}

TEST_F(BoardPlay, BackAfterTheMoveThatLostTheTourRemovesTheMarks) {
    PlayInto(Squares({"b3", "d4", "c2"}));
    ASSERT_EQ(play.Game.FirstErrorIndex, 2);
    play.OnCommand(CmdBack);
    EXPECT_EQ(play.Game.FirstErrorIndex, NoIndex);
}

struct ResetCase {
    const char* name;
    int command;
};

TEST_F(BoardPlay, NewGameFirstAndBackOnAnEmptyBoardResetTheCountersButNotTheAdvices) {
    const ResetCase cases[] = {{"new game", CmdNewGame}, {"first", CmdFirst}};
    for (const ResetCase& c : cases) {
        play.Game.Reset();
        PlayInto(Squares({"a1", "b3"}));
        play.OnCommand(CmdForwardOrAdvice);
        const int advices = play.AdviceCounter;
        play.Game.ErrorCounter = 4;
        view.Clear();
        play.OnCommand(c.command);
        EXPECT_EQ(play.Game.MoveCount, 0) << c.name;
        EXPECT_EQ(play.Game.MoveCounter, 0) << c.name;
        EXPECT_EQ(play.Game.ErrorCounter, 0) << c.name;
        EXPECT_EQ(play.AdviceCounter, advices) << c.name;
        EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{NoSquare, true}})) << c.name;
    }
    play.Game.ErrorCounter = 3;
    play.OnCommand(CmdBack);  // back with no move: a reset
    EXPECT_EQ(play.Game.ErrorCounter, 0);
}

TEST_F(BoardPlay, NewGameClearsTheHintAndTheReplayIndexButFirstDoesNot) {
    PlayInto(Squares({"a1", "b3"}));
    play.OnCommand(CmdForwardOrAdvice);
    play.ReplayIndex = 5;
    play.OnCommand(CmdFirst);
    EXPECT_NE(play.HintSquare, NoSquare);
    EXPECT_EQ(play.ReplayIndex, 5);
    play.OnCommand(CmdNewGame);
    EXPECT_EQ(play.HintSquare, NoSquare);
    EXPECT_EQ(play.ReplayIndex, 63);
}

TEST_F(BoardPlay, SolutionWithoutAMoveOnlySetsTheReplayIndexAndRepaints) {
    play.OnCommand(CmdLastOrSolution);
    EXPECT_EQ(play.ReplayIndex, 0);
    EXPECT_EQ(play.Game.MoveCount, 0);
    EXPECT_TRUE(view.Beeps.empty());
    EXPECT_EQ(view.Search.Polls, 0u);
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{NoSquare, true}}));
}

TEST_F(BoardPlay, SolutionFillsTheTourAndShowsTheKnightOnThePlayersLastSquare) {
    PlayInto(Squares({"a1", "b3", "c1"}));
    play.OnCommand(CmdLastOrSolution);
    EXPECT_TRUE(play.Game.IsReplayMode());
    EXPECT_EQ(play.ReplayIndex, 2);
    EXPECT_TRUE(IsTour(play.Game.MoveList));
    EXPECT_TRUE(view.Scores.empty());  // no score for a solved tour
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{NoSquare, true}}));
}

TEST_F(BoardPlay, SolutionOfALostPositionWarnsAndStaysInPlayMode) {
    PlayInto(Squares({"b3", "d4", "c2"}));
    play.OnCommand(CmdLastOrSolution);
    EXPECT_EQ(view.Beeps, std::vector<BeepKind>{BeepKind::Warning});
    EXPECT_EQ(play.Game.MoveCount, 3);
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{NoSquare, true}}));
}

struct ReplayCase {
    const char* name;
    int32_t start;
    int command;
    int32_t expected;
};

TEST_F(BoardPlay, ReplayCommandsMoveTheKnightAlongTheTour) {
    EnterReplay();
    const ReplayCase cases[] = {
        {"back", 10, CmdBack, 9},           {"back at 0 stays", 0, CmdBack, 0},
        {"forward", 10, CmdForwardOrAdvice, 11}, {"forward at 63 stays", 63, CmdForwardOrAdvice, 63},
        {"first", 40, CmdFirst, 0},         {"last", 40, CmdLastOrSolution, 63},
    };
    const MoveArray tour = play.Game.MoveList;
    for (const ReplayCase& c : cases) {
        play.ReplayIndex = c.start;
        view.Clear();
        play.OnCommand(c.command);
        EXPECT_EQ(play.ReplayIndex, c.expected) << c.name;
        EXPECT_TRUE(play.Game.IsReplayMode()) << c.name;
        EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{tour[c.start], false}, {tour[c.expected], false}}))
            << c.name;
        EXPECT_TRUE(view.Beeps.empty()) << c.name;
    }
    view.Clear();
    Click("a1");  // a click in replay mode is an illegal click
    EXPECT_EQ(view.Beeps, std::vector<BeepKind>{BeepKind::Plain});
    play.OnCommand(CmdNewGame);
    EXPECT_EQ(play.Game.MoveCount, 0);
}

TEST_F(BoardPlay, CompletingTheTourShowsTheScoreAfterRepaintingTheLastTwoSquares) {
    const MoveArray tour = TourFromA1();
    for (int i = 0; i < 63; ++i) Click(tour[i]);
    view.Clear();
    Click(tour[63]);
    EXPECT_TRUE(play.Game.IsReplayMode());
    EXPECT_EQ(play.ReplayIndex, 63);
    EXPECT_EQ(view.Repaints, (std::vector<Repaint>{{tour[63], true}, {tour[62], true}}));
    ASSERT_EQ(view.Scores.size(), 1u);
    EXPECT_EQ(view.Scores[0].moves, 64);
    EXPECT_EQ(view.Scores[0].errors, 0);
    EXPECT_EQ(view.Scores[0].advices, 0);
}

TEST_F(BoardPlay, ScoreCountsTakeBacksFailedSearchesAndAdvices) {
    // Three detours off the tour from a1, each taken back; the first two are
    // moves after which the check search fails within its (fake) time limit.
    view.Search.ClockStepPerPoll = 1;
    Settings.CalcDuration = 50;
    const MoveArray tour = TourFromA1();
    int detours = 0, failing = 0;
    for (int i = 0; i < 64; ++i) {
        if (detours < 3 && i >= 2 && i < 60) {
            // Look for a legal move other than the tour's that fails (for the
            // first two detours) or one that does not (for the third).
            for (KnightJump j : KnightJumps) {
                const Square last = tour[i - 1];
                const Square s{last.File + j.dFile, last.Rank + j.dRank};
                if (s == tour[i] || !play.Game.IsLegalMove(s)) continue;
                GameState probe = play.Game;
                FakeSearchHost probeHost;
                probeHost.ClockStepPerPoll = 1;
                probe.BoardWindow = &probeHost;
                probe.MakeMove(s);
                const bool searched = probe.FirstErrorIndex == NoIndex;
                const bool fails = searched && !probe.FindTour(false);
                if ((failing < 2 && fails) || (failing == 2 && searched && !fails)) {
                    Click(s);
                    play.OnCommand(CmdBack);
                    failing += fails ? 1 : 0;
                    ++detours;
                    break;
                }
            }
        }
        if (i == 10 || i == 20 || i == 30) play.OnCommand(CmdForwardOrAdvice);
        Click(tour[i]);
    }
    ASSERT_EQ(detours, 3);
    ASSERT_EQ(failing, 2);
    ASSERT_EQ(view.Scores.size(), 1u);
    EXPECT_EQ(view.Scores[0].moves, 70);
    EXPECT_EQ(view.Scores[0].errors, 2);
    EXPECT_EQ(view.Scores[0].advices, 3);

    // A second game in the same run adds its advices to those of the first.
    play.OnCommand(CmdNewGame);
    Settings.CalcDuration = 1000;
    Click(tour[0]);
    Click(tour[1]);
    play.OnCommand(CmdForwardOrAdvice);
    for (int i = 2; i < 64; ++i) Click(tour[i]);
    ASSERT_EQ(view.Scores.size(), 2u);
    EXPECT_EQ(view.Scores[1].moves, 64);
    EXPECT_EQ(view.Scores[1].advices, 4);
}

TEST_F(BoardPlay, LoadingAPositionKeepsTheAdvicesAndCountsTheMovesLoaded) {
    PlayInto(Squares({"a1", "b3"}));
    play.OnCommand(CmdForwardOrAdvice);
    play.Game.LoadFromText(L"d4;f5;h6");
    EXPECT_EQ(play.Game.MoveCounter, 3);
    EXPECT_EQ(play.Game.ErrorCounter, 0);
    EXPECT_EQ(play.AdviceCounter, 1);
}

struct CursorCase {
    const char* name;
    int x, y;
    BoardCursorKind expected;
};

TEST_F(BoardPlay, CursorOverTheBoard) {
    PlayInto(Squares({"a1"}));
    const CursorCase cases[] = {
        {"legal square b3", 105, 5 * 70 + 10, BoardCursorKind::Board},
        {"the knight's square", 10, 7 * 70 + 10, BoardCursorKind::NoEntry},
        {"not a knight move", 300, 10, BoardCursorKind::NoEntry},
        {"right of the board", 8 * 70, 10, BoardCursorKind::Unchanged},
        {"below the board", 10, 8 * 70, BoardCursorKind::Unchanged},
    };
    for (const CursorCase& c : cases) EXPECT_EQ(play.CursorAt(c.x, c.y), c.expected) << c.name;
    play.Game.SearchStartTick = 7;  // a search is running
    EXPECT_EQ(play.CursorAt(105, 5 * 70 + 10), BoardCursorKind::Wait);
    play.Game.SearchStartTick = 0;
    play.CellSize = 0;
    EXPECT_EQ(play.CursorAt(10, 10), BoardCursorKind::Unchanged);
}

TEST_F(BoardPlay, CursorIsTheBoardCursorEverywhereOnANewBoardAndNoEntryInReplay) {
    for (int i = 0; i < 64; ++i) {
        const Square s = SquareAt(i);
        EXPECT_EQ(play.CursorAt(s.File * 70 + 1, (7 - s.Rank) * 70 + 1), BoardCursorKind::Board);
    }
    EnterReplay();
    for (int i = 0; i < 64; ++i) {
        const Square s = SquareAt(i);
        EXPECT_EQ(play.CursorAt(s.File * 70 + 1, (7 - s.Rank) * 70 + 1), BoardCursorKind::NoEntry);
    }
}

}  // namespace
