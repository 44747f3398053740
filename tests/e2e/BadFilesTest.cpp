// Files that are broken, huge or odd, end to end: settings files of random
// bytes, of 10 MB, with a byte-order mark, with very long paths and colours
// out of range; pictures and cursors that cannot be read; positions files
// with thousands of names, very long values, odd names, or that cannot be
// written. In every case the program starts, shows no message, plays a few
// moves and ends with exit code 2 when Exit is pressed; what cannot be read
// is simply not shown.
//
// The broken files are made here when the test runs, from pictures and
// cursors built byte by byte (a JPEG is made by the system's own encoder).
#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace e2e;

namespace {

using Names = std::vector<std::wstring>;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool IsDark(Square s) { return (s.File + s.Rank) % 2 == 0; }

std::vector<Square> AllSquares() {
    std::vector<Square> squares;
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) squares.push_back(Square{file, rank});
    return squares;
}

std::string Decimal(unsigned long value) { return std::to_string(value); }

// ---------------------------------------------------------------- random bytes

// The same bytes on every run: the generator is seeded.
std::string RandomBytes(unsigned seed, size_t count, bool withZeros) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& b : bytes) {
        unsigned value = random() & 0xFFu;
        if (!withZeros && value == 0) value = 0x80;
        b = char(value);
    }
    return bytes;
}

// ---------------------------------------------------------------- pictures built byte by byte

void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += char((value >> shift) & 0xFFu);
}
void PutLittleEndian16(std::string& out, unsigned value) {
    out += char(value & 0xFFu);
    out += char((value >> 8) & 0xFFu);
}
void PutLittleEndian32(std::string& out, uint32_t value) {
    PutLittleEndian16(out, value & 0xFFFFu);
    PutLittleEndian16(out, value >> 16);
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

std::string PngChunk(const char* type, const std::string& data) {
    std::string chunk;
    PutBigEndian(chunk, uint32_t(data.size()));
    const std::string typed = std::string(type, 4) + data;
    chunk += typed;
    PutBigEndian(chunk, Crc32(typed));
    return chunk;
}

// A zlib stream of stored (uncompressed) blocks.
std::string ZlibStored(const std::string& data) {
    std::string out = "\x78\x01";
    size_t at = 0;
    do {
        const size_t size = std::min<size_t>(data.size() - at, 65535);
        const bool last = at + size == data.size();
        out += char(last ? 1 : 0);
        PutLittleEndian16(out, unsigned(size));
        PutLittleEndian16(out, unsigned(~size & 0xFFFFu));
        out.append(data, at, size);
        at += size;
    } while (at < data.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

// A PNG whose header says width x height (8-bit RGB) and whose picture data
// holds the given number of rows of one colour.
std::string Png(uint32_t width, uint32_t height, uint32_t rowsOfData, COLORREF colour) {
    std::string header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    std::string row(1, '\0');                          // filter type 0
    for (uint32_t x = 0; x < width; ++x) {
        row += char(GetRValue(colour));
        row += char(GetGValue(colour));
        row += char(GetBValue(colour));
    }
    std::string rows;
    for (uint32_t y = 0; y < rowsOfData; ++y) rows += row;
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", ZlibStored(rows)) +
           PngChunk("IEND", "");
}

std::string WholePng(uint32_t side, COLORREF colour) { return Png(side, side, side, colour); }

// A JPEG of one colour, made by the system's picture library.
std::string Jpeg(int side, COLORREF colour) {
    struct StartupInput {
        UINT32 Version;
        void* DebugCallback;
        BOOL SuppressBackgroundThread;
        BOOL SuppressExternalCodecs;
    };
    using Startup = int(WINAPI*)(ULONG_PTR*, const StartupInput*, void*);
    using Shutdown = void(WINAPI*)(ULONG_PTR);
    using FromScan0 = int(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
    using SaveToFile = int(WINAPI*)(void*, const WCHAR*, const CLSID*, const void*);
    using Dispose = int(WINAPI*)(void*);
    HMODULE library = LoadLibraryW(L"gdiplus.dll");
    if (!library) return {};
    auto function = [library](const char* name) { return reinterpret_cast<void*>(GetProcAddress(library, name)); };
    auto startup = reinterpret_cast<Startup>(function("GdiplusStartup"));
    auto shutdown = reinterpret_cast<Shutdown>(function("GdiplusShutdown"));
    auto fromScan0 = reinterpret_cast<FromScan0>(function("GdipCreateBitmapFromScan0"));
    auto saveToFile = reinterpret_cast<SaveToFile>(function("GdipSaveImageToFile"));
    auto dispose = reinterpret_cast<Dispose>(function("GdipDisposeImage"));
    std::string bytes;
    ULONG_PTR token = 0;
    StartupInput input{1, nullptr, FALSE, FALSE};
    if (startup && shutdown && fromScan0 && saveToFile && dispose && startup(&token, &input, nullptr) == 0) {
        std::vector<BYTE> pixels(size_t(side) * size_t(side) * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = GetBValue(colour);
            pixels[i + 1] = GetGValue(colour);
            pixels[i + 2] = GetRValue(colour);
            pixels[i + 3] = 0xFF;
        }
        const INT Rgb32 = 0x00022009;
        const CLSID JpegEncoder = {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
        void* bitmap = nullptr;
        const std::wstring path = L"C:\\Orvan\\made.jpg";
        if (fromScan0(side, side, side * 4, Rgb32, pixels.data(), &bitmap) == 0 && bitmap) {
            if (saveToFile(bitmap, path.c_str(), &JpegEncoder, nullptr) == 0) bytes = ReadWholeFile(path);
            dispose(bitmap);
        }
        DeleteFileW(path.c_str());
        shutdown(token);
    }
    FreeLibrary(library);
    return bytes;
}

// Where a JPEG's compressed picture data begins: just past its start-of-scan
// segment (0xFF 0xDA); npos when there is none.
size_t JpegScanData(const std::string& jpeg) {
    for (size_t i = 2; i + 4 <= jpeg.size();) {
        if (uint8_t(jpeg[i]) != 0xFF) return std::string::npos;
        const uint8_t marker = uint8_t(jpeg[i + 1]);
        const size_t length = (size_t(uint8_t(jpeg[i + 2])) << 8) | uint8_t(jpeg[i + 3]);
        if (marker == 0xDA) return i + 2 + length;
        i += 2 + length;
    }
    return std::string::npos;
}

// A static cursor file: one 32 x 32 black-and-white picture, a square frame,
// with its hot spot at the given point.
std::string CursorFile(int hotX, int hotY) {
    std::string image;
    PutLittleEndian32(image, 40);  // BITMAPINFOHEADER
    PutLittleEndian32(image, 32);
    PutLittleEndian32(image, 64);  // the picture and its mask
    PutLittleEndian16(image, 1);
    PutLittleEndian16(image, 1);
    for (int i = 0; i < 6; ++i) PutLittleEndian32(image, 0);
    PutLittleEndian32(image, 0x000000);  // colour 0: black
    PutLittleEndian32(image, 0xFFFFFF);  // colour 1: white
    for (int y = 0; y < 32; ++y) {       // picture: a white frame
        const bool edge = y < 2 || y > 29;
        PutBigEndian(image, edge ? 0xFFFFFFFFu : 0xC0000003u);
    }
    for (int y = 0; y < 32; ++y) {  // mask: opaque on the frame only
        const bool edge = y < 2 || y > 29;
        PutBigEndian(image, edge ? 0u : 0x3FFFFFFCu);
    }
    std::string file;
    PutLittleEndian16(file, 0);
    PutLittleEndian16(file, 2);  // a cursor
    PutLittleEndian16(file, 1);
    file += char(32);
    file += char(32);
    file += std::string(2, '\0');
    PutLittleEndian16(file, unsigned(hotX));
    PutLittleEndian16(file, unsigned(hotY));
    PutLittleEndian32(file, uint32_t(image.size()));
    PutLittleEndian32(file, uint32_t(file.size() + 4));
    return file + image;
}

// A cursor file made by CursorFile with the width and height its picture
// header states changed (the height counts the picture and its mask).
std::string WithPictureSize(std::string cursor, uint32_t width, uint32_t height) {
    std::string sizes;
    PutLittleEndian32(sizes, width);
    PutLittleEndian32(sizes, height);
    return cursor.replace(22 + 4, 8, sizes);
}

// An animated cursor file of the given frames (each a whole cursor file),
// whose header claims the given number of frames.
std::string AnimatedCursorFile(const std::vector<std::string>& frames, uint32_t claimedFrames) {
    auto chunk = [](const char* id, const std::string& data) {
        std::string out(id, 4);
        PutLittleEndian32(out, uint32_t(data.size()));
        out += data;
        if (data.size() % 2) out += '\0';
        return out;
    };
    std::string header;
    for (uint32_t value : {36u, claimedFrames, claimedFrames, 32u, 32u, 0u, 0u, 10u, 1u})
        PutLittleEndian32(header, value);
    std::string list = "fram";
    for (const std::string& frame : frames) list += chunk("icon", frame);
    const std::string body = "ACON" + chunk("anih", header) + chunk("LIST", list);
    return chunk("RIFF", body);
}

// ---------------------------------------------------------------- settings

struct Colours {
    COLORREF LightBg, DarkBg, LightFg, DarkFg;
};

// Apart from each other, from the knight's green and from the pictures made here.
const Colours PlainColours{RGB(210, 230, 250), RGB(40, 60, 20), RGB(0, 0, 160), RGB(250, 250, 0)};

std::string ColourSettings(const Colours& colours) {
    return "<WhiteBgColor>" + Decimal(colours.LightBg) + "</WhiteBgColor>\r\n<BlackBgColor>" +
           Decimal(colours.DarkBg) + "</BlackBgColor>\r\n<WhiteFgColor>" + Decimal(colours.LightFg) +
           "</WhiteFgColor>\r\n<BlackFgColor>" + Decimal(colours.DarkFg) + "</BlackFgColor>\r\n";
}

std::string Element(const char* key, const std::string& value) {
    return std::string("<") + key + ">" + value + "</" + key + ">\r\n";
}

// ---------------------------------------------------------------- what every case ends with

bool NoMessage(Game& game) { return game.FindMessageBox() == nullptr; }

void Click(Game& game, const char* square) {
    game.ClickSquare(square);
    game.WaitUntilIdle();
}

// A new game of three moves, the buttons they enable, no message at any
// time, then Exit and exit code 2.
void PlaysAndEndsNormally(Game& game) {
    CHECK(NoMessage(game));
    game.Press(NewGameButton);
    game.WaitUntilIdle();
    for (const char* square : {"a1", "b3", "c1"}) {
        Click(game, square);
        CHECK(NoMessage(game));
    }
    CHECK(game.IsEnabled(BackButton));
    CHECK(game.IsEnabled(AdviceButton));
    CHECK(game.IsEnabled(SaveButton));
    game.Press(ExitButton);
    DWORD code = 0;
    CHECK(game.WaitForExit(10000, &code));
    CHECK_EQ(code, NormalExitCode);
}

// How many pixels of the square are near the colour (a decoded JPEG is not exact).
int PixelsNear(const BoardPicture& board, Square s, COLORREF colour) {
    auto isClose = [](int a, int b) { return a - b <= 12 && b - a <= 12; };
    const int c = board.CellSize();
    return board.Count(s, 0, 0, c, c, [&](COLORREF p) {
        return isClose(GetRValue(p), GetRValue(colour)) && isClose(GetGValue(p), GetGValue(colour)) &&
               isClose(GetBValue(p), GetBValue(colour));
    });
}

// How many pixels of the square are exactly the colour.
int PixelsOfColour(const BoardPicture& board, Square s, COLORREF colour) {
    const int c = board.CellSize();
    return board.Count(s, 0, 0, c, c, [colour](COLORREF p) { return p == colour; });
}

// How many pixels of the square lie outside the box of colours between its
// background and its number colour: what neither the plain square nor its
// (smoothed) number can give, such as a picture of the knight.
int PixelsBesidesNumber(const BoardPicture& board, Square s, COLORREF background, COLORREF number) {
    auto between = [](int value, int a, int b) { return value >= std::min(a, b) && value <= std::max(a, b); };
    const int c = board.CellSize();
    return board.Count(s, 0, 0, c, c, [&](COLORREF p) {
        return !(between(GetRValue(p), GetRValue(background), GetRValue(number)) &&
                 between(GetGValue(p), GetGValue(background), GetGValue(number)) &&
                 between(GetBValue(p), GetBValue(background), GetBValue(number)));
    });
}

// ---------------------------------------------------------------- the cursor over the board

// The cursor the system shows with the pointer at the middle of a window, put
// there and moved a little so that the window hears of it; null when none is
// shown. (Under Wine the handle can be compared with others of the same
// process, but not looked into from here.)
HCURSOR CursorOver(Game& game, HWND window, POINT inWindow) {
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    ClientToScreen(window, &inWindow);
    SetCursorPos(inWindow.x + 1, inWindow.y);
    game.WaitUntilIdle();
    SetCursorPos(inWindow.x, inWindow.y);
    game.WaitUntilIdle();
    CURSORINFO info{};
    info.cbSize = sizeof info;
    if (!GetCursorInfo(&info) || !(info.flags & CURSOR_SHOWING)) return nullptr;
    return info.hCursor;
}

HCURSOR CursorOverSquare(Game& game, Square square) {
    const int c = game.CellSize();
    return CursorOver(game, game.Board(), POINT{square.File * c + c / 2, (7 - square.Rank) * c + c / 2});
}

// The system's hand cursor as the program has it: the cursor of the colour
// samples of the preferences, which are opened for it and cancelled.
HCURSOR HandCursorOfTheProgram(Game& game) {
    game.Press(PreferencesButton);
    HWND preferences = game.WaitForMessageBox();
    if (!preferences) return nullptr;
    HCURSOR hand = nullptr;
    if (HWND sample = GetDlgItem(preferences, 1024)) {  // the sample of the white squares
        RECT r{};
        GetClientRect(sample, &r);
        hand = CursorOver(game, sample, POINT{r.right / 2, r.bottom / 2});
    }
    PostMessageW(preferences, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 500 && IsWindow(preferences); ++i) Sleep(20);
    game.WaitUntilIdle();
    return hand;
}

}  // namespace

// ---------------------------------------------------------------- settings files

E2E_TEST(settings_files_of_any_content_start_and_play) {
    const int largest = MaxCellSizeOnThisScreen();
    // 10 MB of elements with unknown names and stray text, with the ones that
    // count at the very end: the whole file is read.
    std::string tenMegabytes;
    {
        const std::string filler =
            "<Unknown>" + std::string(100, 'x') + "</Unknown>\r\nstray text & <<>> </CellSize>\r\n";
        while (tenMegabytes.size() < 10u * 1024u * 1024u) tenMegabytes += filler;
        tenMegabytes +=
            "\r\n\r\n" + Element("CellSize", "90") + Element("SolidColor", "1") + ColourSettings(PlainColours);
    }
    // Random bytes without a zero byte (a zero ends the text that is read)
    // and the elements that count after them.
    const std::string randomThenElements =
        RandomBytes(2, 1 << 20, false) + "\r\n\r\n\r\n" + Element("CellSize", "80") + Element("SolidColor", "1") +
        ColourSettings(PlainColours);
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    // Every path 1,000 characters long, none of them a file.
    std::string longPaths;
    for (const char* key : {"CursorFile", "WhiteImage", "BlackImage", "KnightImage"})
        longPaths += Element(key, "C:\\Orvan\\" + std::string(987, key[0]) + ".xyz");

    struct SettingsCase {
        const char* Name;
        std::string Bytes;
        int CellSize;
        bool PlainColours;  // the squares show PlainColours
    };
    const SettingsCase cases[] = {
        {"64 KB of random bytes", RandomBytes(1, 1 << 16, true), 70, false},
        {"1 MB of random bytes, then elements", randomThenElements, std::min(80, largest), true},
        {"10 MB, the elements at the end", tenMegabytes, std::min(90, largest), true},
        {"a byte-order mark before the first element",
         byteOrderMark + Element("CellSize", "80") + Element("SolidColor", "1") + ColourSettings(PlainColours),
         std::min(80, largest), true},
        {"only a byte-order mark", byteOrderMark, 70, false},
        {"paths of 1,000 characters", longPaths + Element("SolidColor", "1") + ColourSettings(PlainColours), 70, true},
        {"paths of 1,000 characters, textures", longPaths + Element("CellSize", "75"), 75, false},
    };
    for (const SettingsCase& settings : cases) {
        CaseLabel label(settings.Name);
        WriteSettingsFile(settings.Bytes);
        Game game;
        if (!CHECK(game.Start())) continue;
        CHECK(NoMessage(game));
        CHECK_EQ(game.CellSize(), settings.CellSize);
        if (settings.PlainColours) {
            const BoardPicture board = game.LookAtBoard();
            const int c = board.CellSize();
            for (const char* name : {"a1", "h8", "b1", "a8"}) {
                CaseLabel square(name);
                const Square s = SquareNamed(name);
                CHECK_EQ(PixelsOfColour(board, s, IsDark(s) ? PlainColours.DarkBg : PlainColours.LightBg), c * c);
            }
        }
        PlaysAndEndsNormally(game);
        CHECK(ReadSettingsFile() == settings.Bytes);  // read, never rewritten
    }
    RemoveSettingsFile();
}

E2E_TEST(colours_out_of_range_do_no_harm) {
    // Each colour is read as a 32-bit number and kept as it is, top byte and all.
    struct ColourCase {
        const char* Name;
        const char* Light;
        const char* Dark;
    };
    const ColourCase cases[] = {
        {"0x7FFFFFFF and -1", "0x7FFFFFFF", "-1"},
        {"99999999999 and 0xFFFFFFFFFF", "99999999999", "0xFFFFFFFFFF"},
        {"palette forms 0x01000005 and 0x02FF00FF", "0x01000005", "0x02FF00FF"},
        {"-2147483648 and 4294967295", "-2147483648", "4294967295"},
    };
    for (const ColourCase& colours : cases) {
        for (const char* solid : {"1", "0"}) {
            CaseLabel label(std::string(colours.Name) + ", SolidColor " + solid);
            const std::string bytes = Element("SolidColor", solid) + Element("WhiteBgColor", colours.Light) +
                                      Element("BlackBgColor", colours.Dark) + Element("WhiteFgColor", colours.Dark) +
                                      Element("BlackFgColor", colours.Light);
            WriteSettingsFile(bytes);
            Game game;
            if (!CHECK(game.Start())) continue;
            CHECK(!game.LookAtBoard().Empty());
            PlaysAndEndsNormally(game);
            CHECK(ReadSettingsFile() == bytes);
        }
    }
    RemoveSettingsFile();
}

// ---------------------------------------------------------------- pictures

E2E_TEST(pictures_that_cannot_be_read_leave_plain_squares_and_no_knight) {
    const COLORREF Magenta = RGB(255, 0, 255);
    const std::string whole = WholePng(24, Magenta);
    const std::string jpeg = Jpeg(24, Magenta);
    REQUIRE(whole.size() > 100);
    REQUIRE(jpeg.size() > 100);
    const size_t scanData = JpegScanData(jpeg);
    REQUIRE(scanData != std::string::npos && scanData < jpeg.size());
    CreateDirectoryW(L"C:\\Orvan\\a folder.png", nullptr);
    const std::string longPath = "C:\\Orvan\\" + std::string(987, 'p') + ".png";  // 1,000 characters

    struct PictureCase {
        const char* Name;
        std::string Path;   // as the settings file names it
        std::string Bytes;  // written there, unless the path is a folder or too long
        bool Shows;         // the picture can be read: squares and knight show it
    };
    const std::string made = "C:\\Orvan\\picture";
    const PictureCase cases[] = {
        {"a whole PNG (the pictures do show)", made + ".png", whole, true},
        {"a whole JPEG (the pictures do show)", made + ".jpg", jpeg, true},
        {"a file of 0 bytes", made + ".png", "", false},
        {"a PNG cut after its header", made + ".png", whole.substr(0, 33), false},
        {"a PNG cut in its picture data", made + ".png", whole.substr(0, whole.size() / 2), false},
        {"a JPEG cut before its picture data", made + ".jpg", jpeg.substr(0, scanData - 20), false},
        {"a text file", made + ".png", "This is not a picture.\r\n", false},
        {"a PNG whose header claims 60,000 x 60,000 pixels", made + ".png", Png(60000, 60000, 2, Magenta), false},
        {"a folder", "C:\\Orvan\\a folder.png", "", false},
        {"a device that never ends (COM1)", "COM1", "", false},
        {"a path of 1,000 characters", longPath, "", false},
    };
    const Colours& colours = PlainColours;
    for (const PictureCase& picture : cases) {
        CaseLabel label(picture.Name);
        if (picture.Path.rfind(made, 0) == 0) WriteWholeFile(Wide(picture.Path), picture.Bytes);
        WriteSettingsFile(Element("SolidColor", "0") + ColourSettings(colours) + Element("WhiteImage", picture.Path) +
                          Element("BlackImage", picture.Path) + Element("KnightImage", picture.Path));
        Game game;
        if (!CHECK(game.Start())) continue;
        CHECK(NoMessage(game));
        const BoardPicture empty = game.LookAtBoard();
        if (!CHECK(!empty.Empty())) continue;
        const int c = empty.CellSize();
        int plainSquares = 0;
        for (Square s : AllSquares())
            plainSquares += PixelsOfColour(empty, s, IsDark(s) ? colours.DarkBg : colours.LightBg) == c * c;
        int pictureSquares = 0;
        for (Square s : AllSquares()) pictureSquares += PixelsNear(empty, s, Magenta) > c * c / 2;
        CHECK_EQ(plainSquares, picture.Shows ? 0 : 64);
        CHECK_EQ(pictureSquares, picture.Shows ? 64 : 0);

        // The knight on c1 after three moves: only its square and its small
        // number, or the picture as well.
        Click(game, "a1");
        Click(game, "b3");
        Click(game, "c1");
        const BoardPicture played = game.LookAtBoard();
        const Square c1 = SquareNamed("c1");
        const int besides = PixelsBesidesNumber(played, c1, colours.DarkBg, colours.DarkFg);
        if (picture.Shows)
            CHECK(besides > c * c / 4);
        else
            CHECK_EQ(besides, 0);
        PlaysAndEndsNormally(game);
    }
    DeleteFileW(Wide(made + ".png").c_str());
    DeleteFileW(Wide(made + ".jpg").c_str());
    RemoveDirectoryW(L"C:\\Orvan\\a folder.png");
    RemoveSettingsFile();
}

// ---------------------------------------------------------------- cursors

E2E_TEST(cursor_files_that_cannot_be_read_leave_a_usable_cursor) {
    const std::string cursor = CursorFile(5, 27);
    const std::string png = WholePng(32, RGB(0, 128, 255));
    const std::string made = "C:\\Orvan\\pointer.cur";
    CreateDirectoryW(L"C:\\Orvan\\a folder.cur", nullptr);
    const std::string animated = AnimatedCursorFile({cursor, CursorFile(16, 16)}, 2);
    // With the hand cursor set, a file that loads shows its own cursor and one
    // that does not the hand; without it, a file that does not load shows the
    // built-in cursor (not the hand either).
    enum class Shown { FileCursor, Fallback };
    struct CursorCase {
        const char* Name;
        std::string Path;
        std::string Bytes;  // written there when the path is the made file
        bool HandCursor;
        Shown Expected;
    };
    const CursorCase cases[] = {
        {"a whole cursor file", made, cursor, true, Shown::FileCursor},
        {"a whole animated cursor file", made, animated, true, Shown::FileCursor},
        {"a file of 0 bytes", made, "", true, Shown::Fallback},
        {"a file of 0 bytes, no hand cursor", made, "", false, Shown::Fallback},
        {"a cursor file cut after its first 6 bytes", made, cursor.substr(0, 6), true, Shown::Fallback},
        {"a cursor file cut in its picture", made, cursor.substr(0, cursor.size() / 2), true, Shown::Fallback},
        {"a cursor file cut in its picture, no hand cursor", made, cursor.substr(0, cursor.size() / 2), false,
         Shown::Fallback},
        {"a cursor file claiming 65,535 pictures", made, cursor.substr(0, 4) + "\xff\xff" + cursor.substr(6), true,
         Shown::Fallback},
        {"a cursor picture 0 pixels wide", made, WithPictureSize(cursor, 0, 64), true, Shown::Fallback},
        {"a cursor picture 1 pixel high with its mask", made, WithPictureSize(cursor, 32, 1), true, Shown::Fallback},
        {"an animated cursor file cut in its second frame", made, animated.substr(0, animated.size() - 200), true,
         Shown::Fallback},
        {"an animated cursor file claiming 1,000,000 frames", made, AnimatedCursorFile({cursor}, 1000000), true,
         Shown::Fallback},
        {"an animated cursor file with a frame 0 pixels high", made,
         AnimatedCursorFile({cursor, WithPictureSize(cursor, 32, 0)}, 2), true, Shown::Fallback},
        {"a PNG named .cur", made, png, true, Shown::Fallback},
        {"a folder", "C:\\Orvan\\a folder.cur", "", true, Shown::Fallback},
        {"a device that never ends (COM1)", "COM1", "", true, Shown::Fallback},
        {"a path of 1,000 characters", "C:\\Orvan\\" + std::string(987, 'c') + ".cur", "", true, Shown::Fallback},
    };
    for (const CursorCase& file : cases) {
        CaseLabel label(file.Name);
        if (file.Path == made) WriteWholeFile(Wide(made), file.Bytes);
        WriteSettingsFile(Element("CursorFile", file.Path) + Element("HandCursor", file.HandCursor ? "1" : "0"));
        Game game;
        if (!CHECK(game.Start())) continue;
        CHECK(NoMessage(game));

        // Over a square the knight may go to: the board cursor; over a
        // square it has visited: the no-entry cursor; over the side panel:
        // the arrow; over a colour sample of the preferences: the hand.
        const HCURSOR board = CursorOverSquare(game, SquareNamed("e4"));
        game.ClickSquare("e4");
        game.WaitUntilIdle();
        const HCURSOR noEntry = CursorOverSquare(game, SquareNamed("e4"));
        const RECT panel = game.ControlRectInClient(MuteBox);
        const HCURSOR arrow = CursorOver(game, game.MainWindow(), POINT{panel.left + 2, panel.bottom + 6});
        const HCURSOR hand = HandCursorOfTheProgram(game);
        CHECK(board != nullptr);
        CHECK(noEntry != nullptr);
        CHECK(arrow != nullptr);
        CHECK(hand != nullptr);
        CHECK(board != noEntry);
        CHECK(board != arrow);
        CHECK_EQ(board == hand, file.Expected == Shown::Fallback && file.HandCursor);
        CHECK(CursorOverSquare(game, SquareNamed("f6")) == board);  // a move away from e4
        CHECK(NoMessage(game));
        PlaysAndEndsNormally(game);
    }
    DeleteFileW(Wide(made).c_str());
    RemoveDirectoryW(L"C:\\Orvan\\a folder.cur");
    RemoveSettingsFile();
}

// ---------------------------------------------------------------- positions files

E2E_TEST(five_thousand_position_names_are_all_listed) {
    RemoveSettingsFile();
    const int count = 5000;
    std::string file = "[WOrvan]\r\n";
    Names expected;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Game %05d", (i * 7919) % count);  // not in order in the file
        file += std::string(name) + "=A1;B3;C1\r\n";
        name[0] = 'g';
        expected.push_back(Wide(name));
    }
    std::sort(expected.begin(), expected.end());
    WritePositionsFile(file);

    Game game;
    const ULONGLONG started = GetTickCount64();
    REQUIRE(game.Start());
    std::printf("started with %d names in %llu ms\n", count, GetTickCount64() - started);
    DWORD_PTR listed = 0;
    SendMessageTimeoutW(game.Control(PositionNames), CB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &listed);
    CHECK_EQ(int(listed), count);
    CHECK(game.ListedNames() == expected);

    // The last name loads, a new one is saved beside them all.
    game.EnterName(L"game 04999");
    game.Press(LoadButton);
    game.WaitUntilIdle();
    CHECK(game.IsEnabled(AdviceButton));  // three moves
    Click(game, "e2");
    game.EnterName(L"one more");
    game.Press(SaveButton);
    game.WaitUntilIdle();
    CHECK_EQ(int(game.ListedNames().size()), count + 1);
    CHECK_EQ(int(StoredPositionNames().size()), count + 1);
    CHECK_EQ(StoredPosition(L"one more"), std::wstring(L"A1;B3;C1;E2"));
    PlaysAndEndsNormally(game);
    RemovePositionsFile();
}

E2E_TEST(long_position_values_load_their_first_255_characters) {
    RemoveSettingsFile();
    const std::vector<Square> tour = KnightsTourFrom(SquareNamed("a1"));
    REQUIRE(tour.size() == 64);
    const std::string tourText = PositionText(tour);  // 191 characters
    const std::string garbage = RandomBytes(3, 20000, false);
    std::string noise = garbage;  // printable, no blanks or line breaks
    for (char& c : noise) c = char('!' + (uint8_t(c) % 90));

    // Semicolons before the moves shift them so that the 255th character is
    // the letter of move 22: that move is cut to one character and ends the
    // reading, and all that follows it is never seen.
    std::string straddling = std::string(255 - 1 - 3 * 21, ';') + tourText;  // move 22 at index 254
    straddling += ";" + noise;
    straddling.resize(10000, 'x');
    // A tour ending well before the cut, then 9,800 characters of noise.
    std::string tourThenNoise = tourText + ";" + noise;
    tourThenNoise.resize(10000);
    // Nothing but noise.
    std::string onlyNoise = "Z" + noise;
    onlyNoise.resize(10000);

    struct ValueCase {
        const char* Name;
        std::string Value;
        size_t Moves;  // loaded
    };
    const ValueCase cases[] = {
        {"move 22 cut by the 255th character", straddling, 21},
        {"a whole tour, then noise", tourThenNoise, 64},
        {"10,000 characters of noise", onlyNoise, 0},
    };
    std::string file = "[WOrvan]\r\n";
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        file += "long " + std::to_string(i) + "=" + cases[i].Value + "\r\n";
    file += "short=A1;B3\r\n";
    WritePositionsFile(file);

    Game game;
    REQUIRE(game.Start());
    CHECK_EQ(int(game.ListedNames().size()), 4);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const ValueCase& value = cases[i];
        CaseLabel label(value.Name);
        game.EnterName(Wide("long " + std::to_string(i)));
        game.Press(LoadButton);
        game.WaitUntilIdle();
        CHECK(NoMessage(game));  // a loaded tour earns no score
        CHECK_EQ(game.IsShown(BrowseFrame), value.Moves == 64);
        CHECK_EQ(game.IsEnabled(NewGameButton), value.Moves > 0);
        if (value.Moves > 0) {
            // What was loaded, as the program writes it back.
            game.EnterName(L"read back");
            game.Press(SaveButton);
            game.WaitUntilIdle();
            const std::vector<Square> loaded = SquaresOf(StoredPosition(L"read back"));
            CHECK_EQ(int(loaded.size()), int(value.Moves));
            const std::vector<Square> expected(tour.begin(), tour.begin() + long(value.Moves));
            CHECK(PositionText(loaded) == PositionText(expected));
        }
    }
    PlaysAndEndsNormally(game);
    RemovePositionsFile();
}

E2E_TEST(position_names_with_equals_semicolon_or_bracket_do_no_harm) {
    RemoveSettingsFile();
    // Two good names, then lines a private-profile file cannot carry as
    // names. (Lines beginning with "[" may start a section of their own on
    // some systems, so they come last.)
    WritePositionsFile(
        "[WOrvan]\r\nbefore=A1;B3\r\nafter=H8;G6\r\n=C1;D3\r\n;comment=E1;F3\r\na=b=A1;C2\r\nno equals sign\r\n"
        "mid;dle=B1\r\nmid[dle=C1\r\n[not a section=G1\r\n[WOrvan\r\n");
    const wchar_t* odd[] = {L"x=y", L";leading", L"mid;dle", L"mid[dle]", L"=", L";", L"[leading", L"["};

    for (int run = 0; run < 2; ++run) {  // the second run reads what the first one wrote
        CaseLabel label(run == 0 ? "first run" : "second run, after saving under the odd names");
        Game game;
        if (!CHECK(game.Start())) continue;
        CHECK(NoMessage(game));
        const Names listed = game.ListedNames();
        CHECK(std::find(listed.begin(), listed.end(), L"before") != listed.end());
        CHECK(std::find(listed.begin(), listed.end(), L"after") != listed.end());

        // Saving and loading under every odd name; whatever the file makes of
        // them, nothing is reported.
        for (const wchar_t* name : odd) {
            CaseLabel nameLabel(Narrow(name));
            if (run == 0) {
                Click(game, "d4");
                game.EnterName(name);
                game.Press(SaveButton);
                game.WaitUntilIdle();
                game.Press(NewGameButton);
            }
            game.EnterName(name);
            game.Press(LoadButton);
            game.WaitUntilIdle();
            CHECK(NoMessage(game));
        }
        // The good names load their two moves as before.
        for (const wchar_t* name : {L"before", L"after"}) {
            CaseLabel nameLabel(Narrow(name));
            game.Press(NewGameButton);
            game.EnterName(name);
            game.Press(LoadButton);
            game.WaitUntilIdle();
            CHECK(game.IsEnabled(AdviceButton));
        }
        PlaysAndEndsNormally(game);
    }
    RemovePositionsFile();
}

E2E_TEST(a_read_only_positions_file_is_left_alone) {
    RemoveSettingsFile();
    const std::string bytes = "[WOrvan]\r\nkept=A1;B3\r\nother=H1;G3\r\n";
    WritePositionsFile(bytes);
    // Read-only, and held open here for reading only: Wine run by root
    // writes a read-only file all the same, but no system writes a file that
    // another process holds without sharing it for writing.
    struct HeldReadOnly {
        HANDLE File;
        HeldReadOnly() {
            SetFileAttributesW(PositionsFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
            File = CreateFileW(PositionsFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        }
        ~HeldReadOnly() {
            if (File != INVALID_HANDLE_VALUE) CloseHandle(File);
            SetFileAttributesW(PositionsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
            RemovePositionsFile();
        }
    } held;
    REQUIRE(held.File != INVALID_HANDLE_VALUE);
    HANDLE probe = CreateFileW(PositionsFilePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(probe == INVALID_HANDLE_VALUE);
    if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);

    Game game;
    REQUIRE(game.Start());
    CHECK(game.ListedNames() == (Names{L"kept", L"other"}));
    // Save under a name: listed, the file as it was, nothing said.
    Click(game, "h1");
    game.EnterName(L"new");
    game.Press(SaveButton);
    game.WaitUntilIdle();
    CHECK(NoMessage(game));
    CHECK(game.ListedNames() == (Names{L"kept", L"new", L"other"}));
    CHECK(ReadPositionsFile() == bytes);
    // Save without a name, and delete "other" from the dropped list: the same.
    game.EnterName(L"");
    game.Press(SaveButton);
    game.WaitUntilIdle();
    CHECK(NoMessage(game));
    CHECK(game.ListedNames() == (Names{L"case #1", L"kept", L"new", L"other"}));
    HWND combo = game.Control(PositionNames);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(combo, CB_SHOWDROPDOWN, TRUE, 0, SMTO_NORMAL, 5000, &ignored);
    SendMessageTimeoutW(combo, CB_SETCURSEL, 3, 0, SMTO_NORMAL, 5000, &ignored);
    game.WaitUntilIdle();
    game.PressKeyOn(game.NameListEdit(), VK_DELETE);
    game.WaitUntilIdle();
    SendMessageTimeoutW(combo, CB_SHOWDROPDOWN, FALSE, 0, SMTO_NORMAL, 5000, &ignored);
    game.WaitUntilIdle();
    CHECK(NoMessage(game));
    CHECK(game.ListedNames() == (Names{L"case #1", L"kept", L"new"}));
    CHECK(ReadPositionsFile() == bytes);
    // What is in the file still loads.
    game.Press(NewGameButton);
    game.EnterName(L"kept");
    game.Press(LoadButton);
    game.WaitUntilIdle();
    CHECK(game.IsEnabled(AdviceButton));
    PlaysAndEndsNormally(game);
    CHECK(ReadPositionsFile() == bytes);
}
