// Painting the board on the erase-background request: square colours, the
// tile of square pictures, the knight, the move numbers, the marks and the
// hint glyph, in that order.
#include <cstdio>

#include "ChessBoardWnd.h"
#include "settings/Settings.h"

namespace {

constexpr COLORREF MarkColor = 0x0000C0;

HFONT CreateBoldFont(int characterHeight, const wchar_t* face) {
    return ::CreateFontW(-characterHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void DrawLine(HDC dc, const wchar_t* text, RECT rect, HFONT font, COLORREF color, UINT format) {
    const HGDIOBJ old = ::SelectObject(dc, font);
    ::SetTextColor(dc, color);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | format);
    ::SelectObject(dc, old);
}

}  // namespace

void CChessBoardWnd::PaintBoard(HDC dc) {
    const int c = Play.CellSize;
    const HBRUSH white = ::CreateSolidBrush(Settings.WhiteBgColor);
    const HBRUSH black = ::CreateSolidBrush(Settings.BlackBgColor);
    for (int index = 0; index < 64; ++index) {  // column by column from the left
        const Square s = SquareAt(index);
        const RECT rect = ToRect(SquareRect(s, c));
        ::FillRect(dc, &rect, IsWhiteSquare(s) ? white : black);
    }

    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(dc, &graphics);
    if (!Settings.SolidColor && BoardTile != nullptr && graphics != nullptr) {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) GdipDrawCachedBitmap(graphics, BoardTile, 2 * c * i, 2 * c * j);
    }
    ::DeleteObject(white);
    ::DeleteObject(black);
    PaintMoves(dc, graphics);
    if (graphics != nullptr) GdipDeleteGraphics(graphics);
}

void CChessBoardWnd::PaintMoves(HDC dc, GpGraphics* graphics) {
    const GameState& game = Play.Game;
    const int c = Play.CellSize;
    const bool replay = game.IsReplayMode();
    const int32_t knightMove = replay ? Play.ReplayIndex : game.MoveCount - 1;

    const HFONT large = CreateBoldFont(c / 2, L"Arial");
    const HFONT small = CreateBoldFont(c / 5, L"Arial");

    int n = 64;
    for (int index = 0; index < 64; ++index) {
        const Square sq = game.MoveList[index];
        if (sq == Play.NoSquare) {
            n = index;
            break;
        }
        const RECT rect = ToRect(SquareRect(sq, c));
        if (index == knightMove && KnightBitmap != nullptr && graphics != nullptr)
            GdipDrawImageRectI(graphics, KnightBitmap, rect.left, rect.top, c, c);

        wchar_t number[8];
        std::swprintf(number, 8, L"%d", index + 1);
        const COLORREF numberColor = IsWhiteSquare(sq) ? Settings.WhiteFgColor : Settings.BlackFgColor;
        if (!replay && index == game.MoveCount - 1) {
            DrawLine(dc, number, rect, small, numberColor, DT_RIGHT | DT_BOTTOM);
        } else {
            DrawLine(dc, number, rect, large, numberColor, DT_CENTER | DT_VCENTER);
        }

        if (Settings.HintsOn && (index >= game.FirstDoubtIndex || index >= game.FirstErrorIndex)) {
            DrawLine(dc, index >= game.FirstErrorIndex ? L"X" : L"?", rect, large, MarkColor, DT_BOTTOM);
        }
    }
    ::DeleteObject(large);
    ::DeleteObject(small);

    if (n < 64 && Play.HintSquare != Play.NoSquare && Play.HintSquare == game.Solution[n])
        PaintHintMark(dc, Play.HintSquare);
}

void CChessBoardWnd::PaintHintMark(HDC dc, Square s) {
    // "C" in Wingdings is a thumbs-up hand.
    const HFONT font = CreateBoldFont(Play.CellSize, L"Wingdings");
    DrawLine(dc, L"C", ToRect(SquareRect(s, Play.CellSize)), font, MarkColor, DT_CENTER | DT_VCENTER);
    ::DeleteObject(font);
}
