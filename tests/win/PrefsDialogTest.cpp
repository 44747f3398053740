// The preferences dialog, its colour samples, the colour dialog and the
// tooltips, created in this process from the program's own resources. Every
// modal dialog is worked from inside its own message loop: a thread timer
// waits until the dialog shows, then plays the user's part once.
//
// OK writes this test program's settings file in the test prefix's AppData;
// each test puts back what was there before.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "prefs/CaptionColorDialog.h"
#include "prefs/ColorSquareWnd.h"
#include "prefs/PrefsDlg.h"
#include "prefs/PrefsToolTips.h"
#include "resource.h"
#include "settings/Settings.h"

namespace {

// Controls of the platform's colour dialog.
constexpr int ColorRainbow = 710;  // the hue and saturation field, shown when fully open
constexpr int ColorRed = 706;
constexpr int ColorGreen = 707;
constexpr int ColorBlue = 708;
constexpr int ColorAddToCustom = 712;
constexpr int ColorCustomColors = 721;

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::wstring ResourceString(UINT id) {
    wchar_t text[512] = L"";
    LoadStringW(GetModuleHandleW(nullptr), id, text, 512);
    return text;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
void SetItemText(HWND dialog, int id, const std::wstring& text) { SetDlgItemTextW(dialog, id, text.c_str()); }
void Press(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool IsOn(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool IsEnabledItem(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The visible, enabled dialog box at the top of this thread's modal dialogs:
// the dialogs beneath it are disabled while it runs.
HWND TopDialog() {
    struct Search {
        HWND Found = nullptr;
    } search;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            if (ClassOf(window) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
                reinterpret_cast<Search*>(param)->Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The colour dialog, when it is the top dialog.
HWND TopColorDialog() {
    const HWND top = TopDialog();
    return top != nullptr && GetDlgItem(top, ColorRainbow) != nullptr ? top : nullptr;
}

// The tooltip controls of this thread owned by owner.
std::vector<HWND> ToolTipsOwnedBy(HWND owner) {
    struct Search {
        HWND Owner;
        std::vector<HWND> Found;
    } search{owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (ClassOf(window) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == s->Owner) s->Found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Plays the user's part once, from inside whatever modal loop this thread
// runs when find() first names a visible window. Should that window still be
// open once the user's part is over, it is ended with -1 so that a failing
// test cannot hang; GuardFired then tells.
class WhenShown {
public:
    WhenShown(std::function<HWND()> find, std::function<void(HWND)> act)
        : find_(std::move(find)), act_(std::move(act)) {
        timer_ = SetTimer(nullptr, 0, 10, &WhenShown::Tick);
        Active()[timer_] = this;
    }
    ~WhenShown() {
        KillTimer(nullptr, timer_);
        Active().erase(timer_);
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

    bool Acted = false;
    bool GuardFired = false;

private:
    static std::map<UINT_PTR, WhenShown*>& Active() {
        static std::map<UINT_PTR, WhenShown*> active;
        return active;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        const auto it = Active().find(id);
        if (it == Active().end()) return;
        WhenShown& self = *it->second;
        if (self.acting_) return;
        if (!self.Acted) {
            const HWND window = self.find_();
            if (window == nullptr || !IsWindowVisible(window)) return;
            self.Acted = true;
            self.target_ = window;
            self.acting_ = true;
            self.act_(window);
            self.acting_ = false;
        } else if (IsWindow(self.target_) && IsWindowVisible(self.target_)) {
            self.GuardFired = true;
            EndDialog(self.target_, -1);
        }
    }

    std::function<HWND()> find_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    HWND target_ = nullptr;
    bool acting_ = false;
};

// Runs the preferences dialog modally, owned by owner, with user playing
// inside it; how the dialog ended.
INT_PTR RunPrefs(CPrefsDlg& dialog, const std::function<void(HWND)>& user, HWND owner = nullptr) {
    WhenShown whenShown([&dialog] { return dialog.m_hWnd; }, user);
    const INT_PTR result = dialog.DoModal(owner);
    EXPECT_TRUE(whenShown.Acted) << "the preferences dialog never showed";
    EXPECT_FALSE(whenShown.GuardFired) << "the preferences dialog stayed open";
    return result;
}

// What the user sees in the colour dialog, and the colour to pick there.
struct ColorDialogVisit {
    std::wstring Caption;
    bool FullyOpen = false;
    COLORREF Shown = CLR_INVALID;  // the colour in the red, green and blue boxes
};

COLORREF ShownColor(HWND colorDialog) {
    const UINT r = GetDlgItemInt(colorDialog, ColorRed, nullptr, FALSE);
    const UINT g = GetDlgItemInt(colorDialog, ColorGreen, nullptr, FALSE);
    const UINT b = GetDlgItemInt(colorDialog, ColorBlue, nullptr, FALSE);
    return RGB(r, g, b);
}

void TypeColor(HWND colorDialog, COLORREF color) {
    SetDlgItemInt(colorDialog, ColorRed, GetRValue(color), FALSE);
    SetDlgItemInt(colorDialog, ColorGreen, GetGValue(color), FALSE);
    SetDlgItemInt(colorDialog, ColorBlue, GetBValue(color), FALSE);
}

// Sends a mouse button press to window (a colour sample) and, in the colour
// dialog it opens, types pick and presses button (IDOK or IDCANCEL).
ColorDialogVisit PickInColorDialog(HWND sample, UINT buttonDown, COLORREF pick, int button) {
    ColorDialogVisit visit;
    WhenShown whenShown(&TopColorDialog, [&](HWND colorDialog) {
        visit.Caption = WindowText(colorDialog);
        visit.FullyOpen = IsWindowVisible(GetDlgItem(colorDialog, ColorRainbow)) != FALSE;
        visit.Shown = ShownColor(colorDialog);
        TypeColor(colorDialog, pick);
        Press(colorDialog, button);
    });
    SendMessageW(sample, buttonDown, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(whenShown.Acted) << "no colour dialog showed";
    EXPECT_FALSE(whenShown.GuardFired) << "the colour dialog stayed open";
    return visit;
}

COLORREF PixelOf(HWND window, int x, int y) {
    const HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

// The settings file of this test program and the Settings record are put back
// after each test; the common controls are ready.
class PrefsTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);

        wchar_t appData[MAX_PATH] = L"";
        ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_DEFAULT, appData), S_OK);
        company_ = std::wstring(appData) + L"\\Darnholt";
        folder_ = company_ + L"\\orvan_win_tests";
        SettingsPath = folder_ + L"\\WOrvan.cfg";
        companyWasThere_ = Exists(company_);
        folderWasThere_ = Exists(folder_);
        fileWasThere_ = Exists(SettingsPath);
        if (fileWasThere_) earlierFile_ = ReadBytes(SettingsPath);

        savedSettings_ = Settings;
        Settings = SettingsRecord();
    }
    void TearDown() override {
        Settings = savedSettings_;
        if (fileWasThere_) {
            WriteBytes(SettingsPath, earlierFile_);
        } else {
            DeleteFileW(SettingsPath.c_str());
            if (!folderWasThere_) RemoveDirectoryW(folder_.c_str());
            if (!companyWasThere_) RemoveDirectoryW(company_.c_str());
        }
    }

    // A settings file with known bytes, for tests that must find it unchanged.
    void WriteSettingsFile(const std::string& bytes) {
        CreateDirectoryW(company_.c_str(), nullptr);
        CreateDirectoryW(folder_.c_str(), nullptr);
        WriteBytes(SettingsPath, bytes);
    }

    std::wstring SettingsPath;

private:
    std::wstring company_, folder_;
    bool companyWasThere_ = false, folderWasThere_ = false, fileWasThere_ = false;
    std::string earlierFile_;
    SettingsRecord savedSettings_;
};

// A Settings record unlike the initial one in every saved field.
SettingsRecord VariedSettings() {
    SettingsRecord s;
    s.CursorFile = L"C:\\cursors\\knight.ani";
    s.HandCursor = true;
    s.SolidColor = true;
    s.CellSize = 95;
    s.WhiteBgColor = 0x00C0E0F0;
    s.BlackBgColor = 0x00203040;
    s.WhiteFgColor = 0x00102030;
    s.BlackFgColor = 0x00F0E0D0;
    s.WhiteImage = L"C:\\pictures\\maple.png";
    s.BlackImage = L"C:\\pictures\\walnut.jpg";
    s.KnightImage = L"C:\\pictures\\horse.gif";
    s.CalcDuration = 2500;
    return s;
}

// ---------------------------------------------------------------- opening

TEST_F(PrefsTest, OpensShowingTheSettings) {
    const SettingsRecord cases[] = {SettingsRecord(), VariedSettings()};
    for (const SettingsRecord& record : cases) {
        SCOPED_TRACE(record.SolidColor ? "varied settings" : "initial settings");
        Settings = record;
        CPrefsDlg dialog;
        const INT_PTR result = RunPrefs(dialog, [&](HWND d) {
            EXPECT_EQ(IsOn(d, IDC_SOLID_COLOR), record.SolidColor);
            EXPECT_EQ(IsOn(d, IDC_TEXTURES), !record.SolidColor);
            EXPECT_EQ(IsOn(d, IDC_HAND_CURSOR), record.HandCursor);
            EXPECT_EQ(ItemText(d, IDC_WHITE_PICTURE), record.WhiteImage);
            EXPECT_EQ(ItemText(d, IDC_BLACK_PICTURE), record.BlackImage);
            EXPECT_EQ(ItemText(d, IDC_KNIGHT_PICTURE), record.KnightImage);
            EXPECT_EQ(ItemText(d, IDC_CURSOR_FILE), record.CursorFile);
            EXPECT_EQ(ItemText(d, IDC_CELL_SIZE_VALUE), std::to_wstring(record.CellSize));
            EXPECT_EQ(SendDlgItemMessageW(d, IDC_CELL_SIZE, TBM_GETPOS, 0, 0), record.CellSize);
            EXPECT_EQ(ItemText(d, IDC_CALC_TIME), std::to_wstring(record.CalcDuration));

            EXPECT_EQ(dialog.WhiteSample.BgColor, record.WhiteBgColor);
            EXPECT_EQ(dialog.WhiteSample.FgColor, record.WhiteFgColor);
            EXPECT_EQ(dialog.BlackSample.BgColor, record.BlackBgColor);
            EXPECT_EQ(dialog.BlackSample.FgColor, record.BlackFgColor);
            EXPECT_EQ(std::wstring(dialog.WhiteSample.BgCaption), L"Background Color of White Squares");
            EXPECT_EQ(std::wstring(dialog.WhiteSample.FgCaption), L"Text Color in White Squares");
            EXPECT_EQ(std::wstring(dialog.BlackSample.BgCaption), L"Background Color of Black Squares");
            EXPECT_EQ(std::wstring(dialog.BlackSample.FgCaption), L"Text Color In Black Squares");
            Press(d, IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST_F(PrefsTest, SamplesCoverTheirPlaceholders) {
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        const struct {
            const CColorSquareWnd& Sample;
            int Placeholder;
        } samples[] = {{dialog.WhiteSample, IDC_WHITE_SAMPLE}, {dialog.BlackSample, IDC_BLACK_SAMPLE}};
        for (const auto& s : samples) {
            SCOPED_TRACE(s.Placeholder);
            ASSERT_NE(s.Sample.m_hWnd, nullptr);
            EXPECT_EQ(GetParent(s.Sample.m_hWnd), d);
            EXPECT_TRUE(IsWindowVisible(s.Sample.m_hWnd));
            EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, s.Placeholder)));  // still there, beneath
            RECT sample, placeholder;
            GetWindowRect(s.Sample.m_hWnd, &sample);
            GetWindowRect(GetDlgItem(d, s.Placeholder), &placeholder);
            EXPECT_TRUE(EqualRect(&sample, &placeholder));
        }
        Press(d, IDCANCEL);
    });
}

TEST_F(PrefsTest, OpensCentredOverItsOwner) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 40, 60, 900, 700, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    CPrefsDlg dialog;
    RECT window{}, ownerRect{};
    const INT_PTR result = RunPrefs(
        dialog,
        [&](HWND d) {
            GetWindowRect(d, &window);
            GetWindowRect(owner, &ownerRect);
            EXPECT_FALSE(IsWindowEnabled(owner)) << "the owner is disabled while the dialog runs";
            Press(d, IDCANCEL);
        },
        owner);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_NEAR((window.left + window.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
    DestroyWindow(owner);
}

// ---------------------------------------------------------------- cell size

TEST_F(PrefsTest, TrackBarRunsFrom70ToMaxCellSizeWithATickEvery10) {
    ASSERT_GE(MaxCellSize(), 90) << "the screen is too low for this test";
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        const HWND bar = GetDlgItem(d, IDC_CELL_SIZE);
        EXPECT_EQ(dialog.TrackBar, bar);
        EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMIN, 0, 0), 70);
        EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMAX, 0, 0), MaxCellSize());
        EXPECT_EQ(SendMessageW(bar, TBM_GETTIC, 0, 0), 80);
        EXPECT_EQ(SendMessageW(bar, TBM_GETTIC, 1, 0), 90);
        Press(d, IDCANCEL);
    });
}

TEST_F(PrefsTest, ValueBesideTheTrackBarFollowsEveryMove) {
    Settings.CellSize = 90;
    const int maxCellSize = MaxCellSize();
    ASSERT_GE(maxCellSize, 101) << "the screen is too low for this test";
    const struct {
        const char* Move;
        UINT Key;
        int Position;
    } cases[] = {
        {"right arrow: one pixel up", VK_RIGHT, 91}, {"left arrow: one pixel down", VK_LEFT, 89},
        {"page down: ten pixels up", VK_NEXT, 100},  {"page up: ten pixels down", VK_PRIOR, 80},
        {"home: the smallest size", VK_HOME, 70},    {"end: the largest size", VK_END, maxCellSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Move);
        Settings.CellSize = 90;
        CPrefsDlg dialog;
        int32_t stored = 0;
        RunPrefs(dialog, [&](HWND d) {
            const HWND bar = GetDlgItem(d, IDC_CELL_SIZE);
            SetFocus(bar);
            SendMessageW(bar, WM_KEYDOWN, c.Key, 0);
            SendMessageW(bar, WM_KEYUP, c.Key, 0);
            UpdateWindow(bar);
            EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), c.Position);
            EXPECT_EQ(ItemText(d, IDC_CELL_SIZE_VALUE), std::to_wstring(c.Position));
            Press(d, IDOK);
            stored = Settings.CellSize;
        });
        EXPECT_EQ(stored, c.Position) << "OK stores the trackbar's position";
    }
}

TEST_F(PrefsTest, ValueFollowsSetPositionAndAnyTrackBarNotification) {
    Settings.CellSize = 90;
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        const HWND bar = GetDlgItem(d, IDC_CELL_SIZE);
        SendMessageW(bar, TBM_SETPOS, TRUE, 111);
        UpdateWindow(bar);
        EXPECT_EQ(ItemText(d, IDC_CELL_SIZE_VALUE), L"111");

        // A position set without redrawing shows once the trackbar notifies,
        // whatever it notifies; notifications of other senders change nothing.
        SendMessageW(bar, TBM_SETPOS, FALSE, 77);
        NMHDR other{GetDlgItem(d, IDC_CALC_TIME), IDC_CALC_TIME, NM_RELEASEDCAPTURE};
        SendMessageW(d, WM_NOTIFY, IDC_CALC_TIME, reinterpret_cast<LPARAM>(&other));
        EXPECT_EQ(ItemText(d, IDC_CELL_SIZE_VALUE), L"111");
        NMHDR fromBar{bar, IDC_CELL_SIZE, NM_RELEASEDCAPTURE};
        SendMessageW(d, WM_NOTIFY, IDC_CELL_SIZE, reinterpret_cast<LPARAM>(&fromBar));
        EXPECT_EQ(ItemText(d, IDC_CELL_SIZE_VALUE), L"77");

        // Read-only: typing into the value does not move the trackbar.
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(d, IDC_CELL_SIZE_VALUE), GWL_STYLE) & ES_READONLY);
        SetItemText(d, IDC_CELL_SIZE_VALUE, L"100");
        EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 77);
        Press(d, IDCANCEL);
    });
}

// ---------------------------------------------------------------- enabling

TEST_F(PrefsTest, PictureAndCursorBoxesAreEnabledByTheChoices) {
    const struct {
        const char* Name;
        bool Solid, Hand;   // Settings when the dialog opens
        int Click;          // then a click on this control, or 0
        bool Pictures;      // 1020..1023 enabled
        bool Cursor;        // 1018, 1019 enabled
    } cases[] = {
        {"textures, own cursor", false, false, 0, true, true},
        {"textures, hand cursor", false, true, 0, true, false},
        {"solid, own cursor", true, false, 0, false, true},
        {"solid, hand cursor", true, true, 0, false, false},
        {"click on Solid color", false, false, IDC_SOLID_COLOR, false, true},
        {"click on Textures", true, false, IDC_TEXTURES, true, true},
        {"click checks the hand cursor", false, false, IDC_HAND_CURSOR, true, false},
        {"click unchecks the hand cursor", true, true, IDC_HAND_CURSOR, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Settings.SolidColor = c.Solid;
        Settings.HandCursor = c.Hand;
        CPrefsDlg dialog;
        RunPrefs(dialog, [&](HWND d) {
            if (c.Click != 0) Press(d, c.Click);
            for (int id : {IDC_WHITE_PICTURE, IDC_BLACK_PICTURE, IDC_BROWSE_WHITE, IDC_BROWSE_BLACK})
                EXPECT_EQ(IsEnabledItem(d, id), c.Pictures) << id;
            for (int id : {IDC_CURSOR_FILE, IDC_BROWSE_CURSOR}) EXPECT_EQ(IsEnabledItem(d, id), c.Cursor) << id;
            for (int id : {IDC_KNIGHT_PICTURE, IDC_BROWSE_KNIGHT, IDC_CELL_SIZE, IDC_CALC_TIME, IDC_SOLID_COLOR,
                           IDC_TEXTURES, IDC_HAND_CURSOR, IDOK, IDCANCEL})
                EXPECT_TRUE(IsEnabledItem(d, id)) << id;
            EXPECT_TRUE(IsWindowEnabled(dialog.WhiteSample.m_hWnd));
            EXPECT_TRUE(IsWindowEnabled(dialog.BlackSample.m_hWnd));
            Press(d, IDCANCEL);
        });
    }
}

// ---------------------------------------------------------------- OK

TEST_F(PrefsTest, TimeLimitBelow100IsRaisedTo100) {
    const struct {
        const wchar_t* Typed;
        int32_t Stored;
    } cases[] = {
        {L"", 100},     {L"0", 100},     {L"50", 100},
        {L"99", 100},   {L"100", 100},   {L"750", 750},
        {L"abc", 100},  {L"120000", 120000},
        // Beyond the signed range: kept as the same 32 bits, a negative limit.
        {L"4000000000", -294967296},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.Typed));
        Settings.CalcDuration = 1000;
        CPrefsDlg dialog;
        const INT_PTR result = RunPrefs(dialog, [&](HWND d) {
            SetItemText(d, IDC_CALC_TIME, c.Typed);
            Press(d, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(Settings.CalcDuration, c.Stored);
    }
}

TEST_F(PrefsTest, SolidColorDropsTypedPicturesTexturesStoreThem) {
    const struct {
        const char* Name;
        bool SolidAtOpening;
        int Radio;  // clicked before OK, or 0
        bool Stored;
    } cases[] = {
        {"textures kept", false, 0, true},
        {"solid kept", true, 0, false},
        {"switched to solid", false, IDC_SOLID_COLOR, false},
        {"switched to textures", true, IDC_TEXTURES, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Settings = VariedSettings();
        Settings.SolidColor = c.SolidAtOpening;
        const SettingsRecord before = Settings;
        CPrefsDlg dialog;
        RunPrefs(dialog, [&](HWND d) {
            // Edits disabled by "Solid color" still take text sent to them.
            SetItemText(d, IDC_WHITE_PICTURE, L"D:\\new\\white.png");
            SetItemText(d, IDC_BLACK_PICTURE, L"D:\\new\\black.png");
            SetItemText(d, IDC_KNIGHT_PICTURE, L"D:\\new\\knight.png");
            if (c.Radio != 0) Press(d, c.Radio);
            Press(d, IDOK);
        });
        EXPECT_EQ(Settings.SolidColor, !c.Stored);
        EXPECT_EQ(Settings.WhiteImage, c.Stored ? L"D:\\new\\white.png" : before.WhiteImage);
        EXPECT_EQ(Settings.BlackImage, c.Stored ? L"D:\\new\\black.png" : before.BlackImage);
        EXPECT_EQ(Settings.KnightImage, c.Stored ? L"D:\\new\\knight.png" : before.KnightImage);
    }
}

TEST_F(PrefsTest, HandCursorDisablesTheCursorBoxButOkStoresItsText) {
    Settings.CursorFile = L"C:\\cursors\\old.cur";
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        SetItemText(d, IDC_CURSOR_FILE, L"C:\\cursors\\typed.cur");
        Press(d, IDC_HAND_CURSOR);
        EXPECT_FALSE(IsEnabledItem(d, IDC_CURSOR_FILE));
        EXPECT_FALSE(IsEnabledItem(d, IDC_BROWSE_CURSOR));
        EXPECT_EQ(ItemText(d, IDC_CURSOR_FILE), L"C:\\cursors\\typed.cur");
        Press(d, IDOK);
    });
    EXPECT_TRUE(Settings.HandCursor);
    EXPECT_EQ(Settings.CursorFile, L"C:\\cursors\\typed.cur");
    // No such file: the board cursor falls back to the system hand.
    EXPECT_EQ(Settings.BoardCursor, static_cast<CursorHandle>(LoadCursorW(nullptr, IDC_HAND)));
}

TEST_F(PrefsTest, OkStoresEveryFieldAndWritesTheSettingsFile) {
    ASSERT_GE(MaxCellSize(), 100) << "the screen is too low for this test";
    Settings = SettingsRecord();
    CPrefsDlg dialog;
    const INT_PTR result = RunPrefs(dialog, [&](HWND d) {
        Press(d, IDC_TEXTURES);
        SetItemText(d, IDC_WHITE_PICTURE, L"C:\\p\\w.png");
        SetItemText(d, IDC_BLACK_PICTURE, L"C:\\p\\b.png");
        SetItemText(d, IDC_KNIGHT_PICTURE, L"C:\\p\\k.png");
        SetItemText(d, IDC_CURSOR_FILE, L"C:\\c\\x.cur");
        SetItemText(d, IDC_CALC_TIME, L"2500");
        SendDlgItemMessageW(d, IDC_CELL_SIZE, TBM_SETPOS, TRUE, 100);
        // Colours picked in the samples count with textures as well.
        dialog.WhiteSample.BgColor = 0x00010203;
        dialog.WhiteSample.FgColor = 0x00040506;
        dialog.BlackSample.BgColor = 0x00070809;
        dialog.BlackSample.FgColor = 0x000A0B0C;
        Press(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(Settings.CellSize, 100);
    EXPECT_EQ(Settings.CalcDuration, 2500);
    EXPECT_FALSE(Settings.SolidColor);
    EXPECT_FALSE(Settings.HandCursor);
    EXPECT_EQ(Settings.CursorFile, L"C:\\c\\x.cur");
    EXPECT_EQ(Settings.WhiteBgColor, 0x00010203u);
    EXPECT_EQ(Settings.WhiteFgColor, 0x00040506u);
    EXPECT_EQ(Settings.BlackBgColor, 0x00070809u);
    EXPECT_EQ(Settings.BlackFgColor, 0x000A0B0Cu);
    // No such cursor file and no hand cursor: the built-in knight cursor.
    EXPECT_NE(Settings.BoardCursor, nullptr);
    EXPECT_NE(Settings.BoardCursor, static_cast<CursorHandle>(LoadCursorW(nullptr, IDC_HAND)));
    EXPECT_EQ(ReadBytes(SettingsPath),
              "<CursorFile>C:\\c\\x.cur</CursorFile>\r\n"
              "<HandCursor>0</HandCursor>\r\n"
              "<WhiteImage>C:\\p\\w.png</WhiteImage>\r\n"
              "<BlackImage>C:\\p\\b.png</BlackImage>\r\n"
              "<KnightImage>C:\\p\\k.png</KnightImage>\r\n"
              "<CellSize>100</CellSize>\r\n"
              "<SolidColor>0</SolidColor>\r\n"
              "<WhiteBgColor>0x010203</WhiteBgColor>\r\n"
              "<BlackBgColor>0x070809</BlackBgColor>\r\n"
              "<WhiteFgColor>0x040506</WhiteFgColor>\r\n"
              "<BlackFgColor>0x0a0b0c</BlackFgColor>\r\n"
              "<CalcDuration>2500</CalcDuration>\r\n");
}

// ---------------------------------------------------------------- Cancel

TEST_F(PrefsTest, CancelEscapeAndCloseBoxChangeNothing) {
    const std::string earlierFile = "<CellSize>80</CellSize>\r\n";
    const struct {
        const char* Name;
        std::function<void(HWND)> Leave;
    } cases[] = {
        {"Cancel button", [](HWND d) { Press(d, IDCANCEL); }},
        {"Escape key",
         [](HWND d) {
             SetFocus(GetDlgItem(d, IDC_KNIGHT_PICTURE));
             PostMessageW(GetDlgItem(d, IDC_KNIGHT_PICTURE), WM_KEYDOWN, VK_ESCAPE, 0);
         }},
        {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteSettingsFile(earlierFile);
        Settings = VariedSettings();
        const SettingsRecord before = Settings;
        CPrefsDlg dialog;
        const INT_PTR result = RunPrefs(dialog, [&](HWND d) {
            Press(d, IDC_TEXTURES);
            Press(d, IDC_HAND_CURSOR);
            SetItemText(d, IDC_WHITE_PICTURE, L"D:\\w.png");
            SetItemText(d, IDC_BLACK_PICTURE, L"D:\\b.png");
            SetItemText(d, IDC_KNIGHT_PICTURE, L"D:\\k.png");
            SetItemText(d, IDC_CURSOR_FILE, L"D:\\c.cur");
            SetItemText(d, IDC_CALC_TIME, L"5000");
            SendDlgItemMessageW(d, IDC_CELL_SIZE, TBM_SETPOS, TRUE, 70);
            dialog.WhiteSample.BgColor = dialog.WhiteSample.FgColor = 0x00123456;
            dialog.BlackSample.BgColor = dialog.BlackSample.FgColor = 0x00654321;
            c.Leave(d);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(ReadBytes(SettingsPath), earlierFile);
        EXPECT_EQ(Settings.CursorFile, before.CursorFile);
        EXPECT_EQ(Settings.HandCursor, before.HandCursor);
        EXPECT_EQ(Settings.SolidColor, before.SolidColor);
        EXPECT_EQ(Settings.CellSize, before.CellSize);
        EXPECT_EQ(Settings.WhiteBgColor, before.WhiteBgColor);
        EXPECT_EQ(Settings.BlackBgColor, before.BlackBgColor);
        EXPECT_EQ(Settings.WhiteFgColor, before.WhiteFgColor);
        EXPECT_EQ(Settings.BlackFgColor, before.BlackFgColor);
        EXPECT_EQ(Settings.WhiteImage, before.WhiteImage);
        EXPECT_EQ(Settings.BlackImage, before.BlackImage);
        EXPECT_EQ(Settings.KnightImage, before.KnightImage);
        EXPECT_EQ(Settings.CalcDuration, before.CalcDuration);
        EXPECT_EQ(Settings.BoardCursor, before.BoardCursor);
    }
}

// ---------------------------------------------------------------- file dialogs

// What the user sees in an open-file dialog.
struct FileDialogVisit {
    std::wstring Title;
    std::wstring FileName;  // the file name box
    std::wstring Folder;    // the folder shown
    std::wstring Filter;    // the selected file type
    LRESULT Filters = 0;    // how many file types are offered
};

// Presses button in the preferences dialog and, in the file dialog that
// opens, notes what it shows, then opens the file choose (a full path), or
// cancels when choose is empty.
FileDialogVisit BrowseWith(HWND prefs, int button, const std::wstring& choose) {
    FileDialogVisit visit;
    WhenShown whenShown(&TopDialog, [&](HWND fileDialog) {
        visit.Title = WindowText(fileDialog);
        visit.FileName = ItemText(fileDialog, cmb13);
        wchar_t folder[MAX_PATH] = L"";
        SendMessageW(fileDialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
        visit.Folder = folder;
        visit.Filter = ItemText(fileDialog, cmb1);
        visit.Filters = SendDlgItemMessageW(fileDialog, cmb1, CB_GETCOUNT, 0, 0);
        if (choose.empty()) {
            Press(fileDialog, IDCANCEL);
        } else {
            SetItemText(fileDialog, cmb13, choose);
            Press(fileDialog, IDOK);
        }
    });
    Press(prefs, button);
    EXPECT_TRUE(whenShown.Acted) << "no file dialog showed";
    EXPECT_FALSE(whenShown.GuardFired) << "the file dialog stayed open";
    return visit;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// A scratch folder with a few existing picture and cursor files.
class PrefsBrowseTest : public PrefsTest {
protected:
    void SetUp() override {
        PrefsTest::SetUp();
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        Folder = std::wstring(temp) + L"orvan-prefs-browse";
        SubFolder = Folder + L"\\more";
        CreateDirectoryW(Folder.c_str(), nullptr);
        CreateDirectoryW(SubFolder.c_str(), nullptr);
        for (const std::wstring& file : Files()) WriteBytes(file, "x");
    }
    void TearDown() override {
        for (const std::wstring& file : Files()) DeleteFileW(file.c_str());
        RemoveDirectoryW(SubFolder.c_str());
        RemoveDirectoryW(Folder.c_str());
        PrefsTest::TearDown();
    }
    std::vector<std::wstring> Files() const {
        return {Folder + L"\\first.png", Folder + L"\\second.jpg", SubFolder + L"\\third.gif",
                Folder + L"\\arrow.cur"};
    }
    std::wstring Folder, SubFolder;
};

TEST_F(PrefsBrowseTest, PictureDialogsStartAtTheirPictureWithTitleAndFilter) {
    const struct {
        int Button, Edit;
        const wchar_t* Title;
    } cases[] = {
        {IDC_BROWSE_WHITE, IDC_WHITE_PICTURE, L"Picture File for White Squares"},
        {IDC_BROWSE_BLACK, IDC_BLACK_PICTURE, L"Picture File for Black Squares"},
        {IDC_BROWSE_KNIGHT, IDC_KNIGHT_PICTURE, L"Picture File for the Knight"},
    };
    Settings.WhiteImage = Folder + L"\\first.png";
    Settings.BlackImage = Folder + L"\\second.jpg";
    Settings.KnightImage = SubFolder + L"\\third.gif";
    const std::wstring expectedFile[] = {L"first.png", L"second.jpg", L"third.gif"};
    const std::wstring expectedFolder[] = {Folder, Folder, SubFolder};
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(cases[i].Button);
            const std::wstring before = ItemText(d, cases[i].Edit);
            const FileDialogVisit visit = BrowseWith(d, cases[i].Button, L"");
            EXPECT_EQ(visit.Title, cases[i].Title);
            EXPECT_EQ(visit.FileName, expectedFile[i]);
            EXPECT_TRUE(SamePath(visit.Folder, expectedFolder[i])) << Narrow(visit.Folder);
            EXPECT_EQ(visit.Filter, L"Picture files");
            EXPECT_EQ(visit.Filters, 1);
            EXPECT_EQ(ItemText(d, cases[i].Edit), before) << "cancelled: the box stays";
        }
        Press(d, IDCANCEL);
    });
}

TEST_F(PrefsBrowseTest, PictureDialogStartsAtTheFileHeldSinceOpeningNotTheTypedOne) {
    Settings.WhiteImage = Folder + L"\\first.png";
    const std::wstring third = SubFolder + L"\\third.gif";
    wchar_t workingFolder[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, workingFolder);
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        SetItemText(d, IDC_WHITE_PICTURE, L"C:\\typed\\elsewhere.png");
        FileDialogVisit visit = BrowseWith(d, IDC_BROWSE_WHITE, third);
        EXPECT_EQ(visit.FileName, L"first.png");
        EXPECT_TRUE(SamePath(visit.Folder, Folder)) << Narrow(visit.Folder);
        EXPECT_TRUE(SamePath(ItemText(d, IDC_WHITE_PICTURE), third)) << Narrow(ItemText(d, IDC_WHITE_PICTURE));
        EXPECT_TRUE(SamePath(dialog.WhitePicturePath, third));

        // The next browse starts at the file chosen last.
        SetItemText(d, IDC_WHITE_PICTURE, L"C:\\typed\\again.png");
        visit = BrowseWith(d, IDC_BROWSE_WHITE, L"");
        EXPECT_EQ(visit.FileName, L"third.gif");
        EXPECT_TRUE(SamePath(visit.Folder, SubFolder)) << Narrow(visit.Folder);
        EXPECT_EQ(ItemText(d, IDC_WHITE_PICTURE), L"C:\\typed\\again.png");
        Press(d, IDOK);
    });
    EXPECT_EQ(Settings.WhiteImage, L"C:\\typed\\again.png") << "OK reads the box";
    wchar_t after[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(after), std::wstring(workingFolder)) << "the working folder stays";
}

TEST_F(PrefsBrowseTest, EmptyPictureStartsInThePicturesFolder) {
    wchar_t pictures[MAX_PATH] = L"";
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, pictures, CSIDL_MYPICTURES, TRUE));
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        const FileDialogVisit visit = BrowseWith(d, IDC_BROWSE_KNIGHT, L"");
        EXPECT_EQ(visit.FileName, L"");
        EXPECT_TRUE(SamePath(visit.Folder, pictures)) << Narrow(visit.Folder);
        Press(d, IDCANCEL);
    });
}

TEST_F(PrefsBrowseTest, CursorDialogStartsInTheWindowsCursorsFolderAndFillsTheBox) {
    wchar_t windows[MAX_PATH] = L"";
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring cursors = std::wstring(windows) + L"\\Cursors";
    const bool cursorsWereThere = Exists(cursors);
    CreateDirectoryW(cursors.c_str(), nullptr);
    const std::wstring chosen = Folder + L"\\arrow.cur";
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        const FileDialogVisit visit = BrowseWith(d, IDC_BROWSE_CURSOR, chosen);
        EXPECT_TRUE(SamePath(visit.Folder, cursors)) << Narrow(visit.Folder);
        EXPECT_EQ(visit.FileName, L"");
        EXPECT_EQ(visit.Filter, L"Cursor files (*.cur;*.ani)");
        EXPECT_EQ(visit.Filters, 1);
        for (UINT title : {137u, 138u, 139u}) EXPECT_NE(visit.Title, ResourceString(title));
        EXPECT_TRUE(SamePath(ItemText(d, IDC_CURSOR_FILE), chosen)) << Narrow(ItemText(d, IDC_CURSOR_FILE));
        EXPECT_EQ(dialog.CursorPath, L"") << "only the box takes the file";
        Press(d, IDOK);
    });
    EXPECT_TRUE(SamePath(Settings.CursorFile, chosen));
    if (!cursorsWereThere) RemoveDirectoryW(cursors.c_str());
}

// ---------------------------------------------------------------- tooltips

TEST_F(PrefsTest, DialogTooltipHoldsTheSevenTools) {
    const struct {
        int Control;
        UINT Text;
    } expected[] = {
        {IDC_WHITE_PICTURE, 160}, {IDC_BLACK_PICTURE, 160}, {IDC_WHITE_SAMPLE, 161}, {IDC_BLACK_SAMPLE, 161},
        {IDC_KNIGHT_PICTURE, 162}, {IDC_CURSOR_FILE, 163},  {IDC_HAND_CURSOR, 164},
    };
    CPrefsDlg dialog;
    RunPrefs(dialog, [&](HWND d) {
        // The samples' own tooltips belong to the dialog's window too.
        std::vector<HWND> tips;
        for (const HWND tip : ToolTipsOwnedBy(d))
            if (tip != dialog.WhiteSample.ToolTip && tip != dialog.BlackSample.ToolTip) tips.push_back(tip);
        ASSERT_EQ(tips.size(), 1u);
        const HWND tip = tips[0];
        EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 250);
        EXPECT_EQ(GetWindowLongW(tip, GWL_STYLE) & (TTS_NOPREFIX | TTS_ALWAYSTIP), TTS_NOPREFIX | TTS_ALWAYSTIP);
        EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
        ASSERT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 7);
        for (UINT i = 0; i < 7; ++i) {
            SCOPED_TRACE(expected[i].Control);
            wchar_t text[1024] = L"";
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = text;
            ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
            const HWND control = GetDlgItem(d, expected[i].Control);
            EXPECT_EQ(tool.hwnd, control);
            EXPECT_EQ(tool.uId, 1u);
            EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
            RECT client;
            GetClientRect(control, &client);
            EXPECT_TRUE(EqualRect(&tool.rect, &client));
            EXPECT_EQ(std::wstring(text), ResourceString(expected[i].Text));
        }
        Press(d, IDCANCEL);
    });
}

TEST_F(PrefsTest, TipTextsAreTheGameStrings) {
    const struct {
        UINT Id;
        const wchar_t* Text;
    } strings[] = {
        {160, L"Select a picture for the chessboard square or leave empty to use default."},
        {161, L"Left click to change foreground color.\nRight click to change background color."},
        {162, L"Select an image for the knight or leave empty to use default knight."},
        {163, L"You may change the cursor for the chessboard. Leave empty to use default."},
        {164, L"Uncheck to use a customized cursor instead of the Windows' standard hand cursor."},
    };
    for (const auto& s : strings) EXPECT_EQ(ResourceString(s.Id), s.Text) << s.Id;
}

// ---------------------------------------------------------------- colour samples

// A colour sample on a plain window of its own.
class ColorSampleTest : public PrefsTest {
protected:
    void SetUp() override {
        PrefsTest::SetUp();
        host_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 120, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host_, nullptr);
        UpdateWindow(host_);
    }
    void TearDown() override {
        DestroyWindow(host_);
        PrefsTest::TearDown();
    }
    void CreateSample(CColorSquareWnd& sample, DWORD style = WS_CHILD | WS_VISIBLE) {
        const RECT rect{10, 10, 40, 38};
        ASSERT_NE(sample.Create(host_, rect, style), nullptr);
    }
    HWND host_ = nullptr;
};

TEST_F(ColorSampleTest, StartsWhiteWithBlackTextAndHandCursor) {
    CColorSquareWnd sample;
    EXPECT_EQ(sample.BgColor, 0x00FFFFFFu);
    EXPECT_EQ(sample.FgColor, 0x00000000u);
    EXPECT_TRUE(sample.ToolTipPending);
    CreateSample(sample);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(sample.m_hWnd, GCLP_HCURSOR)), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(GetClassLongPtrW(sample.m_hWnd, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), CS_HREDRAW | CS_VREDRAW);
}

TEST_F(ColorSampleTest, PaintsAOneInTheTextColourCentredOnTheBackground) {
    const struct {
        COLORREF Bg, Fg;
    } cases[] = {{0x00FFFFFF, 0x00000000}, {0x00000000, 0x00FFFFFF}, {0x00283CC8, 0x005ADC0A}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bg);
        CColorSquareWnd sample;
        sample.BgColor = c.Bg;
        sample.FgColor = c.Fg;
        CreateSample(sample);
        UpdateWindow(sample.m_hWnd);

        // Text edges may be smoothed: ink is whatever is not the background.
        RECT client;
        GetClientRect(sample.m_hWnd, &client);
        const HDC dc = GetDC(sample.m_hWnd);
        int textPixels = 0, inkPixels = 0, borderInk = 0;
        long sumX = 0, sumY = 0;
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) {
                const COLORREF pixel = GetPixel(dc, x, y);
                if (pixel == c.Bg) continue;
                ++inkPixels;
                sumX += x;
                sumY += y;
                if (pixel == c.Fg) ++textPixels;
                if (x == 0 || y == 0 || x == client.right - 1 || y == client.bottom - 1) ++borderInk;
            }
        }
        ReleaseDC(sample.m_hWnd, dc);
        EXPECT_EQ(borderInk, 0) << "the background fills the whole sample";
        ASSERT_GT(textPixels, 4) << "the 1 is drawn in the text colour";
        EXPECT_LT(inkPixels, client.right * client.bottom / 4) << "a narrow 1 on the background";
        EXPECT_NEAR(sumX / inkPixels, client.right / 2, 3);
        EXPECT_NEAR(sumY / inkPixels, client.bottom / 2, 3);
        DestroyWindow(sample.m_hWnd);
    }
}

TEST_F(ColorSampleTest, OwnTooltipComesWithTheFirstPaintOnly) {
    CColorSquareWnd sample;
    CreateSample(sample, WS_CHILD);  // shown later: a visible child may paint as it is created
    EXPECT_EQ(sample.ToolTip, nullptr);
    EXPECT_TRUE(sample.ToolTipPending);
    ShowWindow(sample.m_hWnd, SW_SHOW);
    UpdateWindow(sample.m_hWnd);
    ASSERT_NE(sample.ToolTip, nullptr);
    EXPECT_FALSE(sample.ToolTipPending);
    const HWND first = sample.ToolTip;
    for (int i = 0; i < 3; ++i) {
        InvalidateRect(sample.m_hWnd, nullptr, TRUE);
        UpdateWindow(sample.m_hWnd);
    }
    EXPECT_EQ(sample.ToolTip, first);
    EXPECT_EQ(ToolTipsOwnedBy(host_).size(), 1u);

    EXPECT_EQ(ClassOf(first), TOOLTIPS_CLASSW);
    EXPECT_EQ(SendMessageW(first, TTM_GETMAXTIPWIDTH, 0, 0), 250);
    EXPECT_EQ(GetWindowLongW(first, GWL_STYLE) & (TTS_NOPREFIX | TTS_ALWAYSTIP), TTS_NOPREFIX | TTS_ALWAYSTIP);
    ASSERT_EQ(SendMessageW(first, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[1024] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(first, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.hwnd, sample.m_hWnd);
    EXPECT_EQ(tool.uId, 1u);
    EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
    RECT client;
    GetClientRect(sample.m_hWnd, &client);
    EXPECT_TRUE(EqualRect(&tool.rect, &client));
    EXPECT_EQ(std::wstring(text), L"Left click to change foreground color.\nRight click to change background color.");
}

TEST_F(PrefsTest, ClicksOnTheSamplesOpenCaptionedColourDialogs) {
    const struct {
        const char* Name;
        bool White;
        UINT Button;
        const wchar_t* Caption;
        bool Text;  // the text colour is picked, else the background
    } cases[] = {
        {"right click, black sample", false, WM_RBUTTONDOWN, L"Background Color of Black Squares", false},
        {"left click, white sample", true, WM_LBUTTONDOWN, L"Text Color in White Squares", true},
        {"right click, white sample", true, WM_RBUTTONDOWN, L"Background Color of White Squares", false},
        {"left click, black sample", false, WM_LBUTTONDOWN, L"Text Color In Black Squares", true},
    };
    const COLORREF pick = RGB(30, 140, 220);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Settings = VariedSettings();
        const SettingsRecord before = Settings;
        CPrefsDlg dialog;
        RunPrefs(dialog, [&](HWND d) {
            CColorSquareWnd& sample = c.White ? dialog.WhiteSample : dialog.BlackSample;
            const COLORREF bgBefore = sample.BgColor, fgBefore = sample.FgColor;
            const ColorDialogVisit visit = PickInColorDialog(sample.m_hWnd, c.Button, pick, IDOK);
            EXPECT_EQ(visit.Caption, c.Caption);
            EXPECT_TRUE(visit.FullyOpen);
            EXPECT_EQ(visit.Shown, c.Text ? fgBefore : bgBefore) << "opens at the sample's colour";
            EXPECT_EQ(sample.FgColor, c.Text ? pick : fgBefore);
            EXPECT_EQ(sample.BgColor, c.Text ? bgBefore : pick);
            EXPECT_EQ(PixelOf(sample.m_hWnd, 1, 1), sample.BgColor) << "repainted at once";
            EXPECT_TRUE(IsWindowEnabled(d)) << "the preferences take over again";
            Press(d, IDCANCEL);
        });
        // Cancel of the preferences forgets the pick.
        EXPECT_EQ(Settings.WhiteBgColor, before.WhiteBgColor);
        EXPECT_EQ(Settings.WhiteFgColor, before.WhiteFgColor);
        EXPECT_EQ(Settings.BlackBgColor, before.BlackBgColor);
        EXPECT_EQ(Settings.BlackFgColor, before.BlackFgColor);
    }
}

TEST_F(ColorSampleTest, CancelInTheColourDialogKeepsTheColour) {
    CColorSquareWnd sample;
    sample.BgColor = 0x00405060;
    sample.FgColor = 0x00A0B0C0;
    CreateSample(sample);
    UpdateWindow(sample.m_hWnd);
    // A colour is tried in the dialog, then the dialog is cancelled.
    PickInColorDialog(sample.m_hWnd, WM_RBUTTONDOWN, RGB(1, 2, 3), IDCANCEL);
    PickInColorDialog(sample.m_hWnd, WM_LBUTTONDOWN, RGB(4, 5, 6), IDCANCEL);
    EXPECT_EQ(sample.BgColor, 0x00405060u);
    EXPECT_EQ(sample.FgColor, 0x00A0B0C0u);
    EXPECT_EQ(PixelOf(sample.m_hWnd, 1, 1), 0x00405060u);
}

// ---------------------------------------------------------------- colour dialog

TEST(CaptionColorDialog, AsksForAnInitialSelectionOnlyForColoursOtherThanBlack) {
    const struct {
        COLORREF Initial;
        DWORD Flags;
    } cases[] = {
        {0x00000000, CC_FULLOPEN | CC_ENABLEHOOK},
        {0x00000001, CC_FULLOPEN | CC_ENABLEHOOK | CC_RGBINIT},
        {0x00FFFFFF, CC_FULLOPEN | CC_ENABLEHOOK | CC_RGBINIT},
    };
    const wchar_t caption[] = L"caption";
    for (const auto& c : cases) {
        const CCaptionColorDialog dialog(c.Initial, caption, nullptr);
        EXPECT_EQ(dialog.m_cc.Flags, c.Flags) << c.Initial;
        EXPECT_EQ(dialog.m_cc.rgbResult, c.Initial);
        EXPECT_EQ(dialog.m_cc.lpCustColors, CustomColors);
    }
}

TEST_F(ColorSampleTest, CustomColoursStartWhiteAndCarryOverToTheNextColourDialog) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(CustomColors[i], 0x00FFFFFFu) << i;

    CColorSquareWnd first, second;
    CreateSample(first);
    CreateSample(second);
    const COLORREF custom = RGB(10, 200, 30);
    WhenShown define(&TopColorDialog, [&](HWND colorDialog) {
        TypeColor(colorDialog, custom);
        Press(colorDialog, ColorAddToCustom);
        Press(colorDialog, IDOK);
    });
    SendMessageW(first.m_hWnd, WM_RBUTTONDOWN, 0, 0);
    ASSERT_TRUE(define.Acted);

    int found = -1;
    for (int i = 0; i < 16; ++i)
        if (CustomColors[i] == custom) found = i;
    ASSERT_EQ(found, 0) << "the first custom colour";

    // The next dialog, of another sample, shows it in its first custom box.
    COLORREF shown = CLR_INVALID;
    WhenShown look(&TopColorDialog, [&](HWND colorDialog) {
        UpdateWindow(colorDialog);
        const HWND boxes = GetDlgItem(colorDialog, ColorCustomColors);
        RECT area;
        GetClientRect(boxes, &area);
        shown = PixelOf(boxes, area.right / 16, area.bottom / 4);
        Press(colorDialog, IDCANCEL);
    });
    SendMessageW(second.m_hWnd, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(look.Acted);
    EXPECT_EQ(shown, custom);
    for (COLORREF& color : CustomColors) color = 0x00FFFFFF;
}

}  // namespace
