// A board view for tests: records what the play logic asked of the screen.
#pragma once

#include <string>
#include <vector>

#include "FakeSearchHost.h"
#include "game/BoardView.h"

class FakeBoardView : public BoardView {
public:
    struct Repaint {
        Square square;  // NoSquare = the whole board
        bool now;
        bool operator==(const Repaint& o) const { return square == o.square && now == o.now; }
    };
    struct Score {
        int moves, errors, advices;
    };

    FakeSearchHost Search;  // the solver's side: clock and input
    std::vector<Repaint> Repaints;
    std::vector<BeepKind> Beeps;
    std::vector<Score> Scores;
    int NoEntryCursors = 0;
    int FocusTaken = 0;

    void Clear() {
        Repaints.clear();
        Beeps.clear();
        Scores.clear();
        NoEntryCursors = 0;
        FocusTaken = 0;
    }

    void RepaintSquare(Square s) override { Repaints.push_back({s, false}); }
    void RepaintSquareNow(Square s) override { Repaints.push_back({s, true}); }
    void RepaintBoardNow() override { Repaints.push_back({NoSquare, true}); }
    void Beep(BeepKind kind) override { Beeps.push_back(kind); }
    void ShowNoEntryCursor() override { ++NoEntryCursors; }
    void TakeFocus() override { ++FocusTaken; }
    void ShowScore(int moves, int errors, int advices) override { Scores.push_back({moves, errors, advices}); }

    CancelInput PollCancelInput() override { return Search.PollCancelInput(); }
    void ShowWaitCursor() override { Search.ShowWaitCursor(); }
    void RefreshCursor() override { Search.RefreshCursor(); }
    uint32_t TickCount() override { return Search.TickCount(); }
};
