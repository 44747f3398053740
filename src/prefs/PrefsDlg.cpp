#include "PrefsDlg.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "PrefsToolTips.h"
#include "framework/AppModule.h"
#include "framework/CenterWindow.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "view/BoardCursor.h"

namespace {

// The lowest time limit of a tour search that the dialog accepts, in ms.
constexpr UINT MinCalcDuration = 100;

// Trackbar ticks and keyboard steps, in pixels of cell size.
constexpr int CellSizeTickStep = 10;
constexpr int CellSizeLineStep = 1;
constexpr int CellSizePageStep = 10;

// Existing files in existing folders only, the working folder left alone; the
// resizable Explorer-style dialog with a hook that leaves every message to it.
constexpr DWORD FileDialogFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                                  OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;

UINT_PTR CALLBACK FileDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

// A filter string "description|patterns||" of the string table as the file
// dialog wants it: every "|" a zero character. Longer strings than a path are
// left as they are.
std::wstring LoadFilter(UINT id) {
    std::wstring filter = AppModule.LoadResourceString(id);
    if (filter.size() <= MAX_PATH) std::replace(filter.begin(), filter.end(), L'|', L'\0');
    return filter;
}

// Runs the open-file dialog; the chosen full path, or empty after Cancel.
// title nullptr leaves the dialog's own title.
std::wstring AskForFile(HWND owner, UINT filterId, const wchar_t* title, const std::wstring& startFile,
                        const std::wstring& initialFolder) {
    const std::wstring filter = LoadFilter(filterId);
    wchar_t file[MAX_PATH] = L"";
    ::lstrcpynW(file, startFile.c_str(), MAX_PATH);
    wchar_t fileTitle[256] = L"";

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = static_cast<DWORD>(sizeof fileTitle / sizeof fileTitle[0]);
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = title;
    ofn.Flags = FileDialogFlags;
    ofn.lpfnHook = &FileDialogHook;
    if (!::GetOpenFileNameW(&ofn)) return std::wstring();
    return file;
}

}  // namespace

BOOL CPrefsDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_NOTIFY:
        // The trackbar notifies whenever it redraws, so at every move of its
        // thumb: the value beside it follows at once.
        if (reinterpret_cast<const NMHDR*>(lParam)->idFrom != IDC_CELL_SIZE) return FALSE;
        ::SetDlgItemInt(m_hWnd, IDC_CELL_SIZE_VALUE, static_cast<UINT>(::SendMessageW(TrackBar, TBM_GETPOS, 0, 0)),
                        TRUE);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BROWSE_CURSOR:
            OnBrowseCursor();
            return TRUE;
        case IDC_BROWSE_WHITE:
        case IDC_BROWSE_BLACK:
        case IDC_BROWSE_KNIGHT:
            OnBrowsePicture(LOWORD(wParam));
            return TRUE;
        case IDC_SOLID_COLOR:
        case IDC_TEXTURES:
        case IDC_HAND_CURSOR:
            UpdateEnabling();
            return TRUE;
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

BOOL CPrefsDlg::OnInitDialog() {
    CenterWindow(m_hWnd);

    TrackBar = GetDlgItem(IDC_CELL_SIZE);
    ::SendMessageW(TrackBar, TBM_SETRANGE, TRUE, MAKELPARAM(MinCellSize, MaxCellSize()));
    ::SendMessageW(TrackBar, TBM_SETTICFREQ, CellSizeTickStep, 0);
    ::SendMessageW(TrackBar, TBM_SETLINESIZE, 0, CellSizeLineStep);
    ::SendMessageW(TrackBar, TBM_SETPAGESIZE, 0, CellSizePageStep);
    ::SendMessageW(TrackBar, TBM_SETPOS, TRUE, Settings.CellSize);

    ::SetDlgItemInt(m_hWnd, IDC_CELL_SIZE_VALUE, static_cast<UINT>(Settings.CellSize), TRUE);
    ::SetDlgItemInt(m_hWnd, IDC_CALC_TIME, static_cast<UINT>(Settings.CalcDuration), TRUE);

    SolidFlag = Settings.SolidColor;
    CursorPath = Settings.CursorFile;
    HandFlag = Settings.HandCursor;
    WhitePicturePath = Settings.WhiteImage;
    BlackPicturePath = Settings.BlackImage;
    KnightPicturePath = Settings.KnightImage;

    ::SendDlgItemMessageW(m_hWnd, IDC_SOLID_COLOR, BM_SETCHECK, SolidFlag ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_TEXTURES, BM_SETCHECK, SolidFlag ? BST_UNCHECKED : BST_CHECKED, 0);

    ::SetDlgItemTextW(m_hWnd, IDC_WHITE_PICTURE, WhitePicturePath.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_BLACK_PICTURE, BlackPicturePath.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_KNIGHT_PICTURE, KnightPicturePath.c_str());
    ::CheckDlgButton(m_hWnd, IDC_HAND_CURSOR, HandFlag ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemTextW(m_hWnd, IDC_CURSOR_FILE, CursorPath.c_str());

    CreateSample(WhiteSample, IDC_WHITE_SAMPLE);
    WhiteSample.BgColor = Settings.WhiteBgColor;
    WhiteSample.FgColor = Settings.WhiteFgColor;
    WhiteSample.LoadCaptions(IDS_BG_WHITE_CAPTION, IDS_FG_WHITE_CAPTION);
    CreateSample(BlackSample, IDC_BLACK_SAMPLE);
    BlackSample.BgColor = Settings.BlackBgColor;
    BlackSample.FgColor = Settings.BlackFgColor;
    BlackSample.LoadCaptions(IDS_BG_BLACK_CAPTION, IDS_FG_BLACK_CAPTION);

    UpdateEnabling();
    AddPrefsToolTips(m_hWnd);
    return FALSE;  // the dialog manager places no focus
}

// The sample covers its placeholder, which stays in the dialog beneath it.
void CPrefsDlg::CreateSample(CColorSquareWnd& sample, int placeholder) {
    RECT rect;
    ::GetWindowRect(GetDlgItem(placeholder), &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    sample.Create(m_hWnd, rect, WS_CHILD | WS_VISIBLE);
}

void CPrefsDlg::UpdateEnabling() {
    const bool textures = IsChecked(IDC_TEXTURES);
    Enable(IDC_WHITE_PICTURE, textures);
    Enable(IDC_BLACK_PICTURE, textures);
    Enable(IDC_BROWSE_WHITE, textures);
    Enable(IDC_BROWSE_BLACK, textures);

    const bool hand = IsChecked(IDC_HAND_CURSOR);
    Enable(IDC_CURSOR_FILE, !hand);
    Enable(IDC_BROWSE_CURSOR, !hand);
}

void CPrefsDlg::OnBrowsePicture(int button) {
    const struct {
        int Button;
        int Edit;
        UINT Title;
        std::wstring CPrefsDlg::*Path;
    } pictures[] = {
        {IDC_BROWSE_WHITE, IDC_WHITE_PICTURE, IDS_WHITE_PICTURE_TITLE, &CPrefsDlg::WhitePicturePath},
        {IDC_BROWSE_BLACK, IDC_BLACK_PICTURE, IDS_BLACK_PICTURE_TITLE, &CPrefsDlg::BlackPicturePath},
        {IDC_BROWSE_KNIGHT, IDC_KNIGHT_PICTURE, IDS_KNIGHT_PICTURE_TITLE, &CPrefsDlg::KnightPicturePath},
    };
    for (const auto& picture : pictures) {
        if (picture.Button != button) continue;
        std::wstring& path = this->*picture.Path;

        // The dialog starts at the file held since the dialog opened or last
        // chosen here, not at whatever is typed in the box.
        wchar_t folder[MAX_PATH] = L"";
        if (path.empty()) {
            ::SHGetSpecialFolderPathW(m_hWnd, folder, CSIDL_MYPICTURES, FALSE);
        } else {
            ::lstrcpynW(folder, path.c_str(), MAX_PATH);
            ::PathRemoveFileSpecW(folder);
        }
        const std::wstring title = AppModule.LoadResourceString(picture.Title);
        const std::wstring chosen = AskForFile(m_hWnd, IDS_PICTURE_FILTER, title.c_str(), path, folder);
        if (chosen.empty()) return;
        path = chosen;
        ::SetDlgItemTextW(m_hWnd, picture.Edit, chosen.c_str());
        return;
    }
}

void CPrefsDlg::OnBrowseCursor() {
    wchar_t start[MAX_PATH] = L"";
    ::GetDlgItemTextW(m_hWnd, IDC_CURSOR_FILE, start, MAX_PATH);
    if (start[0] == L'\0') {
        ::GetWindowsDirectoryW(start, MAX_PATH);
        ::PathAppendW(start, L"Cursors");
    }
    const std::wstring chosen = AskForFile(m_hWnd, IDS_CURSOR_FILTER, nullptr, std::wstring(), start);
    if (!chosen.empty()) ::SetDlgItemTextW(m_hWnd, IDC_CURSOR_FILE, chosen.c_str());
}

void CPrefsDlg::OnOK() {
    // A disabled cursor box still counts: the path is kept for when the hand
    // cursor is switched off again.
    Settings.CursorFile = ItemText(IDC_CURSOR_FILE);
    Settings.HandCursor = IsChecked(IDC_HAND_CURSOR);

    // Read unsigned, so that a number beyond the signed range is stored as a
    // negative limit, which the solver treats as practically none.
    UINT duration = ::GetDlgItemInt(m_hWnd, IDC_CALC_TIME, nullptr, FALSE);
    if (duration < MinCalcDuration) duration = MinCalcDuration;
    Settings.CalcDuration = static_cast<int32_t>(duration);

    Settings.WhiteBgColor = WhiteSample.BgColor;
    Settings.WhiteFgColor = WhiteSample.FgColor;
    Settings.BlackBgColor = BlackSample.BgColor;
    Settings.BlackFgColor = BlackSample.FgColor;

    // With plain colours the picture boxes are not read at all, the knight's
    // included: the pictures in Settings stay as they were.
    if (IsChecked(IDC_SOLID_COLOR)) {
        Settings.SolidColor = true;
    } else {
        Settings.SolidColor = false;
        Settings.WhiteImage = ItemText(IDC_WHITE_PICTURE);
        Settings.BlackImage = ItemText(IDC_BLACK_PICTURE);
        Settings.KnightImage = ItemText(IDC_KNIGHT_PICTURE);
    }

    Settings.CellSize = static_cast<int32_t>(::SendMessageW(TrackBar, TBM_GETPOS, 0, 0));

    SaveSettings();
    SetBoardCursor(Settings.CursorFile);
    EndDialog(IDOK);
}

std::wstring CPrefsDlg::ItemText(int id) const {
    const HWND item = GetDlgItem(id);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(item, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool CPrefsDlg::IsChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }

void CPrefsDlg::Enable(int id, bool enabled) { ::EnableWindow(GetDlgItem(id), enabled ? TRUE : FALSE); }
