// Building the two prepared pictures at the cell size: the 2 x 2 tile of
// square pictures (kept as a cached bitmap for the screen) and the knight
// fitted into one square. Every failure just leaves less to draw.
#include <string>

#include "ChessBoardWnd.h"
#include "KnightFit.h"
#include "framework/AppModule.h"
#include "resource.h"
#include "settings/Settings.h"

namespace {

GpBitmap* PictureFromSetting(const std::wstring& path, int resourceId) {
    GpBitmap* bitmap = nullptr;
    if (path.empty()) {
        GdipCreateBitmapFromResource(AppModule.GetResourceInstance(), MAKEINTRESOURCEW(resourceId), &bitmap);
    } else {
        GdipCreateBitmapFromFile(path.c_str(), &bitmap);
    }
    return bitmap;
}

// The built-in knight: a PNG stored as raw data, decoded from a stream over a
// movable memory block that the stream frees when it is released.
GpBitmap* BuiltInKnight() {
    const HINSTANCE instance = AppModule.GetResourceInstance();
    const HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(IDR_KNIGHT_PNG), MAKEINTRESOURCEW(10));
    if (resource == nullptr) return nullptr;
    const DWORD size = ::SizeofResource(instance, resource);
    const HGLOBAL loaded = ::LoadResource(instance, resource);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) return nullptr;
    const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    void* bytes = ::GlobalLock(block);
    if (bytes == nullptr) {
        ::GlobalFree(block);
        return nullptr;
    }
    ::CopyMemory(bytes, data, size);
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromStream(stream, &bitmap);
    stream->Release();
    return bitmap;
}

}  // namespace

void CChessBoardWnd::ReleasePictures() {
    if (BoardTile != nullptr) GdipDeleteCachedBitmap(BoardTile);
    BoardTile = nullptr;
    if (KnightBitmap != nullptr) GdipDisposeImage(KnightBitmap);
    KnightBitmap = nullptr;
}

void CChessBoardWnd::LoadPictures() {
    ReleasePictures();
    const int c = Play.CellSize;
    const HDC dc = ::GetDC(m_hWnd);
    GpGraphics* screen = nullptr;
    GdipCreateFromHDC(dc, &screen);
    if (screen == nullptr || c <= 0) {
        ::ReleaseDC(m_hWnd, dc);
        return;
    }

    GpBitmap* tile = nullptr;
    GdipCreateBitmapFromGraphics(2 * c, 2 * c, screen, &tile);
    if (tile != nullptr) {
        GpBitmap* white = PictureFromSetting(Settings.WhiteImage, IDB_WHITE_SQUARE);
        GpBitmap* black = PictureFromSetting(Settings.BlackImage, IDB_BLACK_SQUARE);
        GpGraphics* g = nullptr;
        GdipGetImageGraphicsContext(tile, &g);
        if (g != nullptr) {
            if (white != nullptr) {
                GdipDrawImageRectI(g, white, 0, 0, c, c);
                GdipDrawImageRectI(g, white, c, c, c, c);
            }
            if (black != nullptr) {
                GdipDrawImageRectI(g, black, c, 0, c, c);
                GdipDrawImageRectI(g, black, 0, c, c, c);
            }
            GdipDeleteGraphics(g);
        }
        GdipCreateCachedBitmap(tile, screen, &BoardTile);
        if (white != nullptr) GdipDisposeImage(white);
        if (black != nullptr) GdipDisposeImage(black);
        GdipDisposeImage(tile);
    }

    GdipCreateBitmapFromGraphics(c, c, screen, &KnightBitmap);
    if (KnightBitmap != nullptr) {
        GpBitmap* knight = Settings.KnightImage.empty() ? BuiltInKnight() : nullptr;
        if (!Settings.KnightImage.empty()) GdipCreateBitmapFromFile(Settings.KnightImage.c_str(), &knight);
        UINT w = 0, h = 0;
        if (knight != nullptr && GdipGetImageWidth(knight, &w) == Gdiplus::Ok &&
            GdipGetImageHeight(knight, &h) == Gdiplus::Ok && w > 0 && h > 0) {
            GpGraphics* g = nullptr;
            GdipGetImageGraphicsContext(KnightBitmap, &g);
            if (g != nullptr) {
                const KnightPlacement fit = FitKnight(w, h, c);
                GdipDrawImageRect(g, knight, fit.X, fit.Y, fit.Width, fit.Height);
                GdipDeleteGraphics(g);
            }
        }
        if (knight != nullptr) GdipDisposeImage(knight);
    }

    GdipDeleteGraphics(screen);
    ::ReleaseDC(m_hWnd, dc);
}
