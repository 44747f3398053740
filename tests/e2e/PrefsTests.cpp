// The preferences dialog as a player meets it: "Preferences..." opens it over
// the main window; OK writes the settings file and brings the board to the
// new size and colours, Cancel leaves everything as it was; the colour
// samples open colour dialogs named after what they change, which share
// their custom colours; the tooltips are in place.
#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace e2e;

namespace {

constexpr DWORD WaitMs = 10000;  // things that normally take a fraction of a second
constexpr DWORD ReplyMs = 5000;

// Controls of the preferences dialog.
enum PrefsControl : int {
    OkButton = 1,
    CancelButton = 2,
    SolidColorRadio = 1002,
    TexturesRadio = 1003,
    CursorFileBox = 1018,
    CursorBrowseButton = 1019,
    WhitePictureBrowseButton = 1020,
    WhitePictureBox = 1021,
    BlackPictureBox = 1022,
    BlackPictureBrowseButton = 1023,
    WhiteSamplePlace = 1024,
    BlackSamplePlace = 1025,
    KnightPictureBox = 1026,
    CellSizeBar = 1028,
    CellSizeValue = 1029,
    CalcTimeBox = 1034,
    HandCursorBox = 1043,
};

// Controls of the platform's colour dialog.
enum ColorDialogControl : int {
    ColorRainbow = 710,
    ColorRed = 706,
    ColorGreen = 707,
    ColorBlue = 708,
    ColorAddToCustom = 712,
    ColorCustomBoxes = 721,
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// Waits a while until find() names a window; nullptr when it never did.
HWND WaitFor(const Game& game, const std::function<HWND()>& find) {
    const ULONGLONG deadline = GetTickCount64() + WaitMs;
    for (;;) {
        const HWND found = find();
        if (found != nullptr || GetTickCount64() > deadline || !game.IsRunning()) return found;
        Sleep(20);
    }
}

bool WaitUntilGone(HWND window) {
    const ULONGLONG deadline = GetTickCount64() + WaitMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
    return true;
}

// The visible top-level dialog windows of the program other than its main window.
std::vector<HWND> OtherDialogs(const Game& game) {
    struct Search {
        DWORD Process;
        HWND Main;
        std::vector<HWND> Found;
    } search{ProcessOf(game.MainWindow()), game.MainWindow(), {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            if (window != s->Main && IsWindowVisible(window) && ProcessOf(window) == s->Process &&
                ClassOf(window) == L"#32770")
                s->Found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The tooltip controls of the program owned by owner.
std::vector<HWND> ToolTipsOwnedBy(HWND owner) {
    struct Search {
        HWND Owner;
        std::vector<HWND> Found;
    } search{owner, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            if (GetWindow(window, GW_OWNER) == s->Owner && ClassOf(window) == TOOLTIPS_CLASSW) s->Found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// A message whose answer is a small number.
long Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, ReplyMs, &result);
    return static_cast<long>(result);
}

void TypeInto(HWND box, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, ReplyMs, &ignored);
}

void PressButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A click with the real mouse at a point of the screen: the window under it
// takes it, as under the player's hand.
void ClickOnScreen(POINT at, bool right) {
    SetCursorPos(at.x, at.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

// The colour dialog, once it is open: a dialog of the program with the
// colour field.
HWND OpenColorDialog(const Game& game) {
    for (const HWND dialog : OtherDialogs(game))
        if (GetDlgItem(dialog, ColorRainbow) != nullptr) return dialog;
    return nullptr;
}

void TypeColor(HWND colorDialog, COLORREF color) {
    TypeInto(GetDlgItem(colorDialog, ColorRed), std::to_wstring(GetRValue(color)));
    TypeInto(GetDlgItem(colorDialog, ColorGreen), std::to_wstring(GetGValue(color)));
    TypeInto(GetDlgItem(colorDialog, ColorBlue), std::to_wstring(GetBValue(color)));
}

// The colour of the first of the colour dialog's custom colour boxes, as the
// screen shows it.
COLORREF FirstCustomColor(Game& game, HWND colorDialog) {
    const RECT boxes = ScreenRect(GetDlgItem(colorDialog, ColorCustomBoxes));
    // Eight boxes a row, two rows: the middle of the first box.
    return game.PixelOnScreen(boxes.left + Width(boxes) / 16, boxes.top + Height(boxes) / 4);
}

// The preferences dialog while it is open.
class PrefsWindow {
public:
    explicit PrefsWindow(Game& game) : game_(game) {}

    // Presses "Preferences..." and waits for the dialog. False when it did not come.
    bool Open() {
        game_.Press(PreferencesButton);
        dialog_ = WaitFor(game_, [this]() -> HWND {
            for (const HWND dialog : OtherDialogs(game_))
                if (WindowText(dialog) == L"Preferences") return dialog;
            return nullptr;
        });
        game_.WaitUntilIdle();
        return dialog_ != nullptr;
    }

    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    bool IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool IsChecked(int id) const { return Send(Item(id), BM_GETCHECK) == BST_CHECKED; }
    int CellSize() const { return static_cast<int>(Send(Item(CellSizeBar), TBM_GETPOS)); }

    void Type(int id, const std::wstring& text) {
        TypeInto(Item(id), text);
        game_.WaitUntilIdle();
    }
    void Click(int id) {
        PressButton(Item(id));
        game_.WaitUntilIdle();
    }
    void SetCellSize(int size) {
        Send(Item(CellSizeBar), TBM_SETPOS, TRUE, size);
        game_.WaitUntilIdle();
    }
    void PressKeyOnCellSize(UINT key) {
        game_.PressKeyOn(Item(CellSizeBar), key);
        game_.WaitUntilIdle();
    }

    // The colour sample lying over a placeholder.
    HWND Sample(int placeholder) const {
        struct Search {
            RECT Place;
            HWND Found;
        } search{ScreenRect(Item(placeholder)), nullptr};
        EnumChildWindows(
            dialog_,
            [](HWND child, LPARAM parameter) -> BOOL {
                auto* s = reinterpret_cast<Search*>(parameter);
                const RECT rect = ScreenRect(child);
                if (GetDlgCtrlID(child) == 0 && EqualRect(&rect, &s->Place)) {
                    s->Found = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.Found;
    }

    // A click in the middle of a sample; the colour dialog that opens, or
    // nullptr when none did.
    HWND ClickSample(int placeholder, bool right) {
        const RECT rect = ScreenRect(Item(placeholder));
        ClickOnScreen(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, right);
        const HWND colorDialog = WaitFor(game_, [this] { return OpenColorDialog(game_); });
        game_.WaitUntilIdle();
        return colorDialog;
    }

    // Picks a colour with a click on a sample: types it into the colour
    // dialog, adds it to the custom colours when asked, then presses OK.
    // The caption of the colour dialog, empty when none opened.
    std::wstring PickColor(int placeholder, bool right, COLORREF color, bool addToCustom = false) {
        const HWND colorDialog = ClickSample(placeholder, right);
        if (colorDialog == nullptr) return std::wstring();
        const std::wstring caption = WindowText(colorDialog);
        TypeColor(colorDialog, color);
        if (addToCustom) PressButton(GetDlgItem(colorDialog, ColorAddToCustom));
        PressButton(GetDlgItem(colorDialog, OkButton));
        CHECK(WaitUntilGone(colorDialog));
        game_.WaitUntilIdle();
        return caption;
    }

    // OK or Cancel; true when the dialog then closed.
    bool Close(int button) {
        PressButton(Item(button));
        const bool gone = WaitUntilGone(dialog_);
        game_.WaitUntilIdle();
        return gone;
    }

private:
    Game& game_;
    HWND dialog_ = nullptr;
};

// The settings file's twelve lines, in their order, with the values given.
struct SavedValues {
    std::string CursorFile = "";
    std::string HandCursor = "0";
    std::string WhiteImage = "";
    std::string BlackImage = "";
    std::string KnightImage = "";
    std::string CellSize = "70";
    std::string SolidColor = "0";
    std::string WhiteBgColor = "0xffffff";
    std::string BlackBgColor = "0x000000";
    std::string WhiteFgColor = "0x000000";
    std::string BlackFgColor = "0xffffff";
    std::string CalcDuration = "1000";

    std::string FileText() const {
        const std::pair<const char*, const std::string*> lines[] = {
            {"CursorFile", &CursorFile},     {"HandCursor", &HandCursor},     {"WhiteImage", &WhiteImage},
            {"BlackImage", &BlackImage},     {"KnightImage", &KnightImage},   {"CellSize", &CellSize},
            {"SolidColor", &SolidColor},     {"WhiteBgColor", &WhiteBgColor}, {"BlackBgColor", &BlackBgColor},
            {"WhiteFgColor", &WhiteFgColor}, {"BlackFgColor", &BlackFgColor}, {"CalcDuration", &CalcDuration},
        };
        std::string text;
        for (const auto& line : lines)
            text += std::string("<") + line.first + ">" + *line.second + "</" + line.first + ">\r\n";
        return text;
    }
};

std::string Hex(COLORREF color) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06lx", static_cast<unsigned long>(color));
    return text;
}

// The text of one element of the settings file.
std::string SavedValue(const std::string& key) {
    const std::string file = ReadSettingsFile();
    const std::string open = "<" + key + ">", close = "</" + key + ">";
    const size_t start = file.find(open);
    if (start == std::string::npos) return "<missing>";
    const size_t end = file.find(close, start);
    if (end == std::string::npos) return "<unclosed>";
    return file.substr(start + open.size(), end - start - open.size());
}

// The board of side S at the client origin, the panel beside it when shown,
// the window centred on the work area.
void CheckLaidOutAroundTheBoard(Game& game, int S, bool panelShown) {
    CHECK_EQ(game.CellSize(), S / 8);
    const RECT board = game.BoardRectInClient();
    CHECK_EQ(board.left, 0L);
    CHECK_EQ(board.top, 0L);
    CHECK_EQ(Width(board), S);
    CHECK_EQ(Height(board), S);
    CHECK_EQ(game.ControlRectInClient(Divider).left, long(S));
    CHECK_EQ(Height(game.ClientRect()), S);
    const RECT preferences = game.ControlRectInClient(PreferencesButton);
    if (panelShown) {
        CHECK_EQ(preferences.left, long(S + 10));
        CHECK_EQ(game.ControlRectInClient(ExitButton).top, long(S - Height(preferences) - 10));
        CHECK_EQ(Width(game.WindowRect()), S + Width(preferences) + 40);
    } else {
        CHECK_EQ(Width(game.WindowRect()), S + 20);
    }
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const RECT window = game.WindowRect();
    CHECK(std::abs((window.left - workArea.left) - (workArea.right - window.right)) <= 1);
    CHECK(std::abs((window.top - workArea.top) - (workArea.bottom - window.bottom)) <= 1);
}

}  // namespace

E2E_TEST(preferences_ok_writes_the_settings_and_brings_the_board_to_them) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    REQUIRE(MaxCellSizeOnThisScreen() >= 90);
    const COLORREF blackBg = RGB(40, 90, 160);
    const COLORREF whiteFg = RGB(200, 20, 60);

    PrefsWindow prefs(game);
    REQUIRE(prefs.Open());
    CHECK(!IsWindowEnabled(game.MainWindow()));
    prefs.SetCellSize(90);
    CHECK_EQ(prefs.Text(CellSizeValue), std::wstring(L"90"));
    prefs.Type(CalcTimeBox, L"750");
    prefs.Click(SolidColorRadio);
    CHECK_EQ(prefs.PickColor(BlackSamplePlace, true, blackBg), std::wstring(L"Background Color of Black Squares"));
    CHECK_EQ(prefs.PickColor(WhiteSamplePlace, false, whiteFg), std::wstring(L"Text Color in White Squares"));
    prefs.Click(HandCursorBox);
    REQUIRE(prefs.Close(OkButton));

    SavedValues saved;
    saved.HandCursor = "1";
    saved.CellSize = "90";
    saved.SolidColor = "1";
    saved.BlackBgColor = Hex(blackBg);
    saved.WhiteFgColor = Hex(whiteFg);
    saved.CalcDuration = "750";
    CHECK_EQ(ReadSettingsFile(), saved.FileText());

    CHECK(IsWindowEnabled(game.MainWindow()));
    CheckLaidOutAroundTheBoard(game, 8 * 90, true);
    // Plain colours now: a1 is a black square, b1 a white one.
    CHECK_EQ(game.PixelOfSquare(SquareNamed("a1"), SquarePoint::TopLeftCorner), blackBg);
    CHECK_EQ(game.PixelOfSquare(SquareNamed("b1"), SquarePoint::TopLeftCorner), COLORREF(0xFFFFFF));
    CHECK(game.IsRunning());
}

E2E_TEST(preferences_ok_with_the_panel_folded_keeps_it_folded) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    REQUIRE(MaxCellSizeOnThisScreen() >= 100);
    game.PressKey(VK_SPACE);
    game.WaitUntilIdle();
    REQUIRE(Width(game.WindowRect()) == 8 * 70 + 20);

    const struct {
        const char* Name;
        int CellSize;
    } steps[] = {{"larger", 100}, {"smaller", 80}};
    for (const auto& step : steps) {
        CaseLabel label(step.Name);
        PrefsWindow prefs(game);
        REQUIRE(prefs.Open());
        prefs.SetCellSize(step.CellSize);
        REQUIRE(prefs.Close(OkButton));
        CHECK_EQ(SavedValue("CellSize"), std::to_string(step.CellSize));
        CheckLaidOutAroundTheBoard(game, 8 * step.CellSize, false);
    }
}

E2E_TEST(preferences_cancel_leaves_the_file_and_the_board_as_they_were) {
    SavedValues earlier;
    earlier.CellSize = "80";
    earlier.CalcDuration = "3000";
    earlier.WhiteFgColor = "0x102030";
    const std::string earlierFile = earlier.FileText();
    WriteSettingsFile(earlierFile);
    Game game;
    REQUIRE(game.Start());
    const BoardPicture boardBefore = game.LookAtBoard();
    const RECT windowBefore = game.WindowRect();

    PrefsWindow prefs(game);
    REQUIRE(prefs.Open());
    prefs.Click(SolidColorRadio);
    prefs.Click(HandCursorBox);
    prefs.Type(WhitePictureBox, L"C:\\nowhere\\white.png");
    prefs.Type(BlackPictureBox, L"C:\\nowhere\\black.png");
    prefs.Type(KnightPictureBox, L"C:\\nowhere\\knight.png");
    prefs.Type(CursorFileBox, L"C:\\nowhere\\cursor.cur");
    prefs.Type(CalcTimeBox, L"250");
    prefs.SetCellSize(70);
    CHECK(!prefs.PickColor(WhiteSamplePlace, true, RGB(1, 2, 3)).empty());
    CHECK(!prefs.PickColor(WhiteSamplePlace, false, RGB(4, 5, 6)).empty());
    CHECK(!prefs.PickColor(BlackSamplePlace, true, RGB(7, 8, 9)).empty());
    CHECK(!prefs.PickColor(BlackSamplePlace, false, RGB(10, 11, 12)).empty());
    REQUIRE(prefs.Close(CancelButton));

    CHECK_EQ(ReadSettingsFile(), earlierFile);
    CHECK(game.LookAtBoard() == boardBefore);
    const RECT windowAfter = game.WindowRect();
    CHECK(EqualRect(&windowAfter, &windowBefore));

    // The next opening starts again from the settings.
    REQUIRE(prefs.Open());
    CHECK_EQ(prefs.CellSize(), 80);
    CHECK_EQ(prefs.Text(CalcTimeBox), std::wstring(L"3000"));
    CHECK(prefs.IsChecked(TexturesRadio));
    CHECK_EQ(prefs.Text(KnightPictureBox), std::wstring(L""));
    CHECK(prefs.Close(CancelButton));
}

E2E_TEST(preferences_time_limit_below_100_is_stored_as_100) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    const struct {
        const wchar_t* Typed;
        const char* Stored;
    } cases[] = {{L"", "100"}, {L"0", "100"}, {L"50", "100"}, {L"750", "750"}};
    for (const auto& c : cases) {
        CaseLabel label("typed " + Describe(c.Typed));
        PrefsWindow prefs(game);
        REQUIRE(prefs.Open());
        prefs.Type(CalcTimeBox, c.Typed);
        REQUIRE(prefs.Close(OkButton));
        CHECK_EQ(SavedValue("CalcDuration"), std::string(c.Stored));
    }
}

E2E_TEST(preferences_store_typed_pictures_only_with_textures) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    const struct {
        const char* Name;
        int Radio;
        const char* Stored;  // what each picture element then holds: the typed path or the earlier one
    } cases[] = {
        {"solid color", SolidColorRadio, ""},
        {"textures", TexturesRadio, "C:\\nowhere\\%s.png"},
        {"solid color again", SolidColorRadio, "C:\\nowhere\\%s.png"},
    };
    int round = 0;
    for (const auto& c : cases) {
        CaseLabel label(c.Name);
        PrefsWindow prefs(game);
        REQUIRE(prefs.Open());
        prefs.Click(c.Radio);
        CHECK_EQ(prefs.IsEnabled(WhitePictureBox), c.Radio == TexturesRadio);
        CHECK_EQ(prefs.IsEnabled(BlackPictureBrowseButton), c.Radio == TexturesRadio);
        // The third round types other paths, which solid colours must drop.
        const std::wstring folder = round++ < 2 ? L"C:\\nowhere\\" : L"D:\\elsewhere\\";
        prefs.Type(WhitePictureBox, folder + L"white.png");
        prefs.Type(BlackPictureBox, folder + L"black.png");
        prefs.Type(KnightPictureBox, folder + L"knight.png");
        REQUIRE(prefs.Close(OkButton));
        const struct {
            const char* Key;
            const char* Name;
        } pictures[] = {{"WhiteImage", "white"}, {"BlackImage", "black"}, {"KnightImage", "knight"}};
        for (const auto& picture : pictures) {
            char expected[64];
            std::snprintf(expected, sizeof expected, c.Stored, picture.Name);
            CHECK_EQ(SavedValue(picture.Key), std::string(expected));
        }
        CHECK_EQ(SavedValue("SolidColor"), std::string(c.Radio == SolidColorRadio ? "1" : "0"));
    }
}

E2E_TEST(preferences_cell_size_runs_from_70_to_the_largest_and_shows_beside_the_bar) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    PrefsWindow prefs(game);
    REQUIRE(prefs.Open());
    const HWND bar = prefs.Item(CellSizeBar);
    CHECK_EQ(Send(bar, TBM_GETRANGEMIN), 70L);
    CHECK_EQ(Send(bar, TBM_GETRANGEMAX), long(MaxCellSizeOnThisScreen()));
    CHECK_EQ(prefs.Text(CellSizeValue), std::wstring(L"70"));

    const struct {
        const char* Move;
        std::function<void()> Do;
        int CellSize;
    } moves[] = {
        {"set to 85", [&] { prefs.SetCellSize(85); }, 85},
        {"right arrow", [&] { prefs.PressKeyOnCellSize(VK_RIGHT); }, 86},
        {"page down", [&] { prefs.PressKeyOnCellSize(VK_NEXT); }, 96},
        {"left arrow", [&] { prefs.PressKeyOnCellSize(VK_LEFT); }, 95},
        {"end", [&] { prefs.PressKeyOnCellSize(VK_END); }, MaxCellSizeOnThisScreen()},
        {"home", [&] { prefs.PressKeyOnCellSize(VK_HOME); }, 70},
    };
    for (const auto& move : moves) {
        CaseLabel label(move.Move);
        move.Do();
        CHECK_EQ(prefs.CellSize(), move.CellSize);
        CHECK_EQ(prefs.Text(CellSizeValue), std::to_wstring(move.CellSize));
    }
    prefs.SetCellSize(88);
    REQUIRE(prefs.Close(OkButton));
    CHECK_EQ(SavedValue("CellSize"), std::string("88"));
    CHECK_EQ(game.CellSize(), 88);
}

E2E_TEST(colour_samples_open_colour_dialogs_named_after_the_colour) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    PrefsWindow prefs(game);
    REQUIRE(prefs.Open());
    const struct {
        const char* Click;
        int Place;
        bool Right;
        const wchar_t* Caption;
        COLORREF Pick;
    } clicks[] = {
        {"right click on the black sample", BlackSamplePlace, true, L"Background Color of Black Squares",
         RGB(0, 128, 64)},
        {"left click on the white sample", WhiteSamplePlace, false, L"Text Color in White Squares", RGB(220, 0, 0)},
        {"right click on the white sample", WhiteSamplePlace, true, L"Background Color of White Squares",
         RGB(250, 240, 120)},
        {"left click on the black sample", BlackSamplePlace, false, L"Text Color In Black Squares",
         RGB(0, 255, 255)},
    };
    for (const auto& click : clicks) {
        CaseLabel label(click.Click);
        const HWND sample = prefs.Sample(click.Place);
        REQUIRE(sample != nullptr);
        const HWND colorDialog = prefs.ClickSample(click.Place, click.Right);
        REQUIRE(colorDialog != nullptr);
        CHECK_EQ(WindowText(colorDialog), std::wstring(click.Caption));
        CHECK(IsWindowVisible(GetDlgItem(colorDialog, ColorRainbow)));  // fully open
        TypeColor(colorDialog, click.Pick);
        PressButton(GetDlgItem(colorDialog, OkButton));
        CHECK(WaitUntilGone(colorDialog));
        game.WaitUntilIdle();

        // The sample shows the new colour at once: as its fill, or in its "1".
        const RECT rect = ScreenRect(sample);
        int found = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if (game.PixelOnScreen(x, y) == click.Pick) ++found;
        if (click.Right) {
            CHECK_EQ(game.PixelOnScreen(rect.left + 1, rect.top + 1), click.Pick);
        } else {
            CHECK(found > 0);
            CHECK(found < Width(rect) * Height(rect) / 3);
        }
    }
    // Nothing is saved without OK.
    REQUIRE(prefs.Close(CancelButton));
    CHECK(!SettingsFileExists());
}

E2E_TEST(custom_colours_carry_over_to_the_next_colour_dialog) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    const COLORREF custom = RGB(10, 200, 30);

    PrefsWindow prefs(game);
    REQUIRE(prefs.Open());
    HWND colorDialog = prefs.ClickSample(WhiteSamplePlace, true);
    REQUIRE(colorDialog != nullptr);
    CHECK_EQ(FirstCustomColor(game, colorDialog), COLORREF(0xFFFFFF));  // all white at first
    TypeColor(colorDialog, custom);
    PressButton(GetDlgItem(colorDialog, ColorAddToCustom));
    game.WaitUntilIdle();
    PressButton(GetDlgItem(colorDialog, OkButton));
    CHECK(WaitUntilGone(colorDialog));
    REQUIRE(prefs.Close(CancelButton));

    // Another opening of the preferences, another sample: the colour is offered.
    REQUIRE(prefs.Open());
    colorDialog = prefs.ClickSample(BlackSamplePlace, false);
    REQUIRE(colorDialog != nullptr);
    CHECK_EQ(FirstCustomColor(game, colorDialog), custom);
    PressButton(GetDlgItem(colorDialog, CancelButton));
    CHECK(WaitUntilGone(colorDialog));
    CHECK(prefs.Close(CancelButton));
}

E2E_TEST(hand_cursor_box_disables_the_cursor_box_which_ok_still_stores) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    PrefsWindow prefs(game);
    REQUIRE(prefs.Open());
    CHECK(prefs.IsEnabled(CursorFileBox));
    prefs.Type(CursorFileBox, L"C:\\nowhere\\pointer.cur");
    prefs.Click(HandCursorBox);
    CHECK(!prefs.IsEnabled(CursorFileBox));
    CHECK(!prefs.IsEnabled(CursorBrowseButton));
    CHECK_EQ(prefs.Text(CursorFileBox), std::wstring(L"C:\\nowhere\\pointer.cur"));
    REQUIRE(prefs.Close(OkButton));
    CHECK_EQ(SavedValue("CursorFile"), std::string("C:\\nowhere\\pointer.cur"));
    CHECK_EQ(SavedValue("HandCursor"), std::string("1"));
}

E2E_TEST(preferences_tooltips_are_in_place) {
    RemoveSettingsFile();
    Game game;
    REQUIRE(game.Start());
    PrefsWindow prefs(game);
    REQUIRE(prefs.Open());
    // The dialog's own tooltip with its seven tools, and one for each colour sample.
    std::vector<long> tools;
    for (const HWND tip : ToolTipsOwnedBy(prefs.Dialog())) {
        tools.push_back(Send(tip, TTM_GETTOOLCOUNT));
        CHECK_EQ(Send(tip, TTM_GETMAXTIPWIDTH), 250L);
    }
    std::sort(tools.begin(), tools.end());
    CHECK(tools == (std::vector<long>{1, 1, 7}));
    CHECK(prefs.Close(CancelButton));
}
