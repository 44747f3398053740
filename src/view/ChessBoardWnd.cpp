#include "ChessBoardWnd.h"

#include <windowsx.h>

#include <cwchar>

#include "resource.h"
#include "settings/Settings.h"

CChessBoardWnd::CChessBoardWnd() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
    Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
}

CChessBoardWnd::~CChessBoardWnd() {
    ReleasePictures();
    Gdiplus::GdiplusShutdown(gdiplusToken_);
}

BOOL CChessBoardWnd::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_CREATE:
        LoadPictures();
        Play.Attach(this);
        Play.Game.Reset();
        return TRUE;
    case WM_SIZE: {
        const int side = 8 * Settings.CellSize;
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    case WM_ERASEBKGND:
        PaintBoard(reinterpret_cast<HDC>(wParam));
        result = 1;
        return TRUE;
    case WM_MOUSEMOVE:
        UpdateBoardCursor(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return FALSE;  // and on to default processing
    case WM_LBUTTONDOWN:
        Play.OnClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    case WM_COMMAND:
        return Play.OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

void CChessBoardWnd::UpdateBoardCursor(int x, int y) {
    switch (Play.CursorAt(x, y)) {
    case BoardCursorKind::Unchanged:
        break;
    case BoardCursorKind::Wait:
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        break;
    case BoardCursorKind::Board:
        ::SetCursor(static_cast<HCURSOR>(Settings.BoardCursor));
        break;
    case BoardCursorKind::NoEntry:
        ::SetCursor(::LoadCursorW(nullptr, IDC_NO));
        break;
    }
}

// ---------------------------------------------------------------- view operations

void CChessBoardWnd::RepaintSquare(Square s) {
    RECT rect;
    const PixelRect r = SquareRect(s, Play.CellSize);
    ::SetRect(&rect, r.left, r.top, r.right, r.bottom);
    ::InvalidateRect(m_hWnd, &rect, TRUE);
}

void CChessBoardWnd::RepaintSquareNow(Square s) {
    RepaintSquare(s);
    ::UpdateWindow(m_hWnd);
}

void CChessBoardWnd::RepaintBoardNow() {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
}

void CChessBoardWnd::Beep(BeepKind kind) { ::MessageBeep(kind == BeepKind::Warning ? MB_ICONEXCLAMATION : 0); }

void CChessBoardWnd::ShowNoEntryCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_NO)); }

void CChessBoardWnd::TakeFocus() { ::SetFocus(m_hWnd); }

void CChessBoardWnd::ShowScore(int moves, int errors, int advices) {
    const std::wstring format = AppModule.LoadResourceString(IDS_SCORE);
    wchar_t text[512] = L"";
    std::swprintf(text, 512, format.c_str(), moves, errors, advices);
    ::MessageBoxW(m_hWnd, text, AppModule.LoadResourceString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONWARNING);
}

CancelInput CChessBoardWnd::PollCancelInput() {
    const DWORD now = ::GetTickCount();
    if (now - lastPollTick_ < PollIntervalMs) return CancelInput::None;
    lastPollTick_ = now;
    if (waitCursor_ == nullptr) waitCursor_ = ::LoadCursorW(nullptr, IDC_WAIT);
    ::SetCursor(waitCursor_);
    MSG msg;
    if (!::PeekMessageW(&msg, m_hWnd, 0, 0, PM_REMOVE)) return CancelInput::None;
    if (msg.message == WM_KEYDOWN) return CancelInput::KeyPress;
    if (msg.message == WM_LBUTTONDOWN) return CancelInput::LeftButton;
    return CancelInput::Other;
}

void CChessBoardWnd::ShowWaitCursor() {
    if (waitCursorShown_) return;
    if (waitCursor_ == nullptr) waitCursor_ = ::LoadCursorW(nullptr, IDC_WAIT);
    ::SetCursor(waitCursor_);
    waitCursorShown_ = true;
}

void CChessBoardWnd::RefreshCursor() {
    waitCursorShown_ = false;
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
}

uint32_t CChessBoardWnd::TickCount() { return ::GetTickCount(); }
