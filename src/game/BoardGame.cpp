#include "BoardGame.h"

#include "../settings/Settings.h"

namespace {

int32_t ClampReplay(int32_t index) { return index < 0 ? 0 : (index > 63 ? 63 : index); }

}  // namespace

void BoardGame::Attach(BoardView* view) {
    view_ = view;
    Game.BoardWindow = view;
}

Square BoardGame::SquareOfMove(int32_t index) const {
    if (index < 0 || index > 63) return ::NoSquare;
    return Game.MoveList[index];
}

void BoardGame::RepaintMove(int32_t index) {
    const Square s = SquareOfMove(index);
    if (IsOnBoard(s)) view_->RepaintSquare(s);
}

void BoardGame::Beep(BeepKind kind) {
    if (!Settings.Mute) view_->Beep(kind);
}

void BoardGame::SetReplayIndex(int32_t index) {
    RepaintMove(ReplayIndex);
    ReplayIndex = index;
    RepaintMove(index);
}

void BoardGame::ClearHint() {
    if (Game.IsReplayMode()) return;
    if (HintSquare != ::NoSquare) {
        if (IsOnBoard(HintSquare)) view_->RepaintSquare(HintSquare);
        HintSquare = ::NoSquare;
    }
}

void BoardGame::OnClick(int32_t x, int32_t y) {
    view_->TakeFocus();
    const Square s = SquareFromPoint(x, y, CellSize);
    if (!IsOnBoard(s)) return;
    ClearHint();
    if (!Game.IsLegalMove(s)) {
        Beep(BeepKind::Plain);
        return;
    }
    Game.MakeMove(s);
    view_->ShowNoEntryCursor();  // the knight now stands under the pointer
    if (Settings.HintsOn && !Game.FindTour(false)) Beep(BeepKind::Warning);
    view_->RepaintSquareNow(s);
    if (!Game.IsReplayMode()) {
        const Square previous = SquareOfMove(Game.MoveCount - 2);
        if (IsOnBoard(previous)) view_->RepaintSquareNow(previous);
        return;
    }
    view_->RepaintSquareNow(Game.MoveList[62]);
    view_->ShowScore(Game.MoveCounter, Game.ErrorCounter, AdviceCounter);
}

bool BoardGame::OnCommand(int id) {
    const bool replay = Game.IsReplayMode();
    switch (id) {
    case CmdNewGame:
        Game.Reset();
        HintSquare = ::NoSquare;
        ReplayIndex = 63;
        view_->RepaintBoardNow();
        return true;
    case CmdBack:
        if (replay) {
            SetReplayIndex(ClampReplay(ReplayIndex - 1));
        } else {
            ClearHint();
            RepaintMove(Game.MoveCount - 1);
            RepaintMove(Game.MoveCount - 2);
            Game.TakeBack();
        }
        return true;
    case CmdForwardOrAdvice:
        if (replay) {
            SetReplayIndex(ClampReplay(ReplayIndex + 1));
        } else {
            Advice();
        }
        return true;
    case CmdFirst:
        if (replay) {
            SetReplayIndex(0);
        } else {
            Game.Reset();
            view_->RepaintBoardNow();
        }
        return true;
    case CmdLastOrSolution:
        if (replay) {
            SetReplayIndex(63);
        } else {
            Solution();
        }
        return true;
    default:
        return false;
    }
}

void BoardGame::Advice() {
    Game.FindTour(false);
    AdviceCounter += 1;
    const Square next = Game.Solution[Game.MoveCount];
    if (Game.FirstDoubtIndex == NoIndex && Game.FirstErrorIndex == NoIndex && next != ::NoSquare) {
        HintSquare = next;
        if (IsOnBoard(HintSquare)) view_->RepaintSquare(HintSquare);
    } else {
        HintSquare = ::NoSquare;
        Beep(BeepKind::Plain);
    }
}

void BoardGame::Solution() {
    ReplayIndex = Game.MoveCount - 1 < 0 ? 0 : Game.MoveCount - 1;
    if (!Game.FindTour(true)) Beep(BeepKind::Warning);
    view_->RepaintBoardNow();
}

BoardCursorKind BoardGame::CursorAt(int32_t x, int32_t y) const {
    if (CellSize == 0) return BoardCursorKind::Unchanged;
    const Square s{x / CellSize, 7 - y / CellSize};
    if (!IsOnBoard(s)) return BoardCursorKind::Unchanged;
    if (Game.SearchStartTick != 0) return BoardCursorKind::Wait;
    return Game.IsLegalMove(s) ? BoardCursorKind::Board : BoardCursorKind::NoEntry;
}
