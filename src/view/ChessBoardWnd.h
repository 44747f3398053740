// The board window: shows the game, takes clicks and the board commands, and
// provides the play logic with repaints, beeps, cursors and the score box.
#pragma once

#include <windows.h>

#include "GdiPlus.h"
#include "framework/WindowImpl.h"
#include "game/BoardGame.h"

class CChessBoardWnd : public CWindowImpl<CChessBoardWnd>, public BoardView {
public:
    // How often a running search looks at the message queue at most. Every
    // look costs far more than placing a square (a round trip to the window
    // system), so the search asks at every square but the queue is only
    // looked at when this many milliseconds have passed since the last look.
    static constexpr DWORD PollIntervalMs = 10;

    CChessBoardWnd();
    ~CChessBoardWnd() override;
    CChessBoardWnd(const CChessBoardWnd&) = delete;
    CChessBoardWnd& operator=(const CChessBoardWnd&) = delete;

    static WindowClassInfo GetWndClassInfo() { return {L"OrvanChessBoard", CS_HREDRAW | CS_VREDRAW, nullptr}; }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The game and the board window's game members (cell size, hint, advice
    // count, replay index).
    BoardGame Play;

    // (Re)builds BoardTile and KnightBitmap at the current cell size.
    void LoadPictures();
    void UpdateBoardCursor(int x, int y);

    // BoardView
    void RepaintSquare(Square s) override;
    void RepaintSquareNow(Square s) override;
    void RepaintBoardNow() override;
    void Beep(BeepKind kind) override;
    void ShowNoEntryCursor() override;
    void TakeFocus() override;
    void ShowScore(int moves, int errors, int advices) override;
    CancelInput PollCancelInput() override;
    void ShowWaitCursor() override;
    void RefreshCursor() override;
    uint32_t TickCount() override;

private:
    void ReleasePictures();
    void PaintBoard(HDC dc);
    void PaintMoves(HDC dc, GpGraphics* graphics);
    void PaintHintMark(HDC dc, Square s);

    ULONG_PTR gdiplusToken_ = 0;
    GpCachedBitmap* BoardTile = nullptr;
    GpBitmap* KnightBitmap = nullptr;

    HCURSOR waitCursor_ = nullptr;
    bool waitCursorShown_ = false;
    DWORD lastPollTick_ = 0;
};
