// Painting the board on the erase-background request: square colours, the
// tile of square pictures, the knight, the move numbers, the marks and the
// hint glyph, in that order.
#include <algorithm>
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

// Bold Wingdings of the given character height, if the system has the face
// and its thumbs-up glyph; nullptr otherwise. Some font mappers (Wine's among
// them) pass over a symbol face asked for with the default character set, so
// the symbol character set is tried too.
HFONT CreateWingdingsWithHand(HDC dc, int characterHeight) {
    for (const BYTE charset : {BYTE(DEFAULT_CHARSET), BYTE(SYMBOL_CHARSET)}) {
        const HFONT font =
            ::CreateFontW(-characterHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Wingdings");
        if (font == nullptr) continue;
        const HGDIOBJ old = ::SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = L"";
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        WORD glyph = 0xFFFF;
        const bool found = ::lstrcmpiW(face, L"Wingdings") == 0 &&
                           ::GetGlyphIndicesW(dc, L"C", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
                           glyph != 0xFFFF;
        ::SelectObject(dc, old);
        if (found) return font;
        ::DeleteObject(font);
    }
    return nullptr;
}

// A thumbs-up hand filling the height of the rectangle, centred, in one
// colour: a cuff, the fist with four fingers pointing right and the thumb
// raised. Drawn on a grid of 100 x 100 units.
void DrawThumbsUp(HDC dc, const RECT& rect, COLORREF color) {
    const int side = std::min(rect.right - rect.left, rect.bottom - rect.top);
    const int left = rect.left + (rect.right - rect.left - side) / 2;
    const int top = rect.top + (rect.bottom - rect.top - side) / 2;
    auto at = [&](int x, int y) { return POINT{left + x * side / 100, top + y * side / 100}; };

    const HBRUSH brush = ::CreateSolidBrush(color);
    const HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    const HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));

    auto box = [&](int x0, int y0, int x1, int y1, int round) {
        const POINT a = at(x0, y0), b = at(x1, y1);
        const int r = round * side / 100;
        ::RoundRect(dc, a.x, a.y, b.x + 1, b.y + 1, r, r);
    };
    box(12, 46, 28, 94, 4);        // the cuff
    box(31, 44, 62, 94, 14);       // the back of the hand
    box(50, 42, 90, 54, 12);       // four fingers, a little apart
    box(50, 56, 88, 67, 11);
    box(50, 69, 85, 80, 11);
    box(50, 82, 80, 93, 11);
    const POINT thumb[] = {at(31, 50), at(36, 34), at(42, 20), at(44, 10), at(48, 5),
                           at(55, 5),  at(59, 10), at(60, 22), at(58, 34), at(60, 44)};
    ::Polygon(dc, thumb, static_cast<int>(sizeof thumb / sizeof thumb[0]));

    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(brush);
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
    // "C" in Wingdings is a thumbs-up hand. Where the face is missing the
    // font mapper hands over another face, which would draw a plain letter C:
    // then the hand is drawn with shapes of our own.
    const RECT rect = ToRect(SquareRect(s, Play.CellSize));
    if (const HFONT font = CreateWingdingsWithHand(dc, Play.CellSize)) {
        DrawLine(dc, L"C", rect, font, MarkColor, DT_CENTER | DT_VCENTER);
        ::DeleteObject(font);
    } else {
        DrawThumbsUp(dc, rect, MarkColor);
    }
}
