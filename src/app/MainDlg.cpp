#include "MainDlg.h"

#include <windowsx.h>

#include "framework/AppModule.h"
#include "framework/CenterWindow.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

namespace {

// The keys that act on the board while it has the keyboard focus.
int BoardCommandForKey(WPARAM key) {
    switch (key) {
    case VK_BACK:
    case VK_LEFT:
        return CmdBack;
    case 'A':
    case 'C':
    case VK_RIGHT:
        return CmdForwardOrAdvice;
    case VK_HOME:
        return CmdFirst;
    case 'S':
    case VK_END:
        return CmdLastOrSolution;
    case VK_F2:
        return CmdNewGame;
    default:
        return 0;
    }
}

RECT ClientRectOf(HWND parent, HWND child) {
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

BOOL CMainDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_SIZE:
        if (BoardWnd.m_hWnd != nullptr) LayoutControls();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_MOUSEMOVE:
        ::SetCursor(::LoadCursorW(nullptr, IsOverDivider(lParam) ? IDC_SIZEWE : IDC_ARROW));
        return FALSE;
    case WM_LBUTTONDOWN:
        if (IsOverDivider(lParam)) TogglePanel();
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CMainDlg::OnInitDialog() {
    LoadSettings();
    PanelShown = true;
    CenterOnLayout = true;

    PositionsCombo = GetDlgItem(IDC_POSITIONS);
    ListPositions();

    const HINSTANCE instance = AppModule.GetResourceInstance();
    const HICON big = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                                      LR_DEFAULTCOLOR));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    const HICON small = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    const struct {
        int icon, button;
    } buttonIcons[] = {{IDI_FIRST, IDC_FIRST}, {IDI_LAST, IDC_LAST}, {IDI_BACK, IDC_BACK},
                       {IDI_FORWARD, IDC_FORWARD}, {IDI_ADVICE, IDC_ADVICE}};
    for (const auto& bi : buttonIcons) {
        const HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(bi.icon));
        ::SendDlgItemMessageW(m_hWnd, bi.button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }

    ::SetWindowTextW(m_hWnd, AppModule.LoadResourceString(IDS_APP_TITLE).c_str());

    BoardWnd.Play.CellSize = Settings.CellSize;
    const RECT origin{0, 0, 0, 0};
    BoardWnd.Create(m_hWnd, origin, WS_CHILD | WS_VISIBLE);

    Accelerators = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));

    if (CMessageLoop* loop = AppModule.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    return FALSE;
}

void CMainDlg::OnDestroy() {
    if (CMessageLoop* loop = AppModule.GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

void CMainDlg::SendBoardCommand(int command) {
    ::SendMessageW(BoardWnd.m_hWnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

bool CMainDlg::OnCommand(int id) {
    switch (id) {
    case IDC_NO_HINTS:
        Settings.HintsOn = ::SendDlgItemMessageW(m_hWnd, IDC_NO_HINTS, BM_GETCHECK, 0, 0) == 0;
        BoardWnd.RepaintBoardNow();
        return true;
    case IDC_MUTE:
        Settings.Mute = ::SendDlgItemMessageW(m_hWnd, IDC_MUTE, BM_GETCHECK, 0, 0) != 0;
        return true;
    case IDC_SOLUTION:
        SendBoardCommand(CmdLastOrSolution);
        return true;
    case IDC_NEW_GAME:
    case IDC_BACK:
    case IDC_FORWARD:
    case IDC_FIRST:
    case IDC_LAST:
        SendBoardCommand(id);
        return true;
    case IDC_ADVICE:
        SendBoardCommand(CmdForwardOrAdvice);
        return true;
    case IDC_SAVE:
        SavePosition();
        return true;
    case IDC_LOAD:
        LoadPosition();
        return true;
    case ID_APP_ABOUT:
        OnAbout();
        return true;
    case ID_TOGGLE_PANEL:
        TogglePanel();
        return true;
    case IDOK:
        return true;
    case IDCANCEL:
        ::DestroyWindow(m_hWnd);
        ::PostQuitMessage(2);
        return true;
    case IDC_PREFERENCES:
        OnPreferences();
        return true;
    case IDC_HELP_BUTTON:
        ShowHelp();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- layout

void CMainDlg::MoveControl(int id, int dx, int y) {
    const HWND control = GetDlgItem(id);
    const RECT rect = ClientRectOf(m_hWnd, control);
    ::SetWindowPos(control, nullptr, rect.left + dx, y != 0 ? y : rect.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDlg::LayoutControls() {
    RECT board;
    ::GetClientRect(BoardWnd.m_hWnd, &board);
    const int side = board.right;  // the board is square: 8 x CellSize

    const RECT prefs = ClientRectOf(m_hWnd, GetDlgItem(IDC_PREFERENCES));
    const int buttonWidth = prefs.right - prefs.left;
    const int buttonHeight = prefs.bottom - prefs.top;

    ::SetWindowPos(GetDlgItem(IDC_DIVIDER), nullptr, side, 0, 5, side, SWP_NOZORDER | SWP_NOACTIVATE);

    RECT window, client;
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    const int height = (window.bottom - window.top) - client.bottom + side;
    const int width = PanelShown ? side + buttonWidth + 40 : side + 20;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (PanelShown) {
        const int dx = (side + 10) - ClientRectOf(m_hWnd, GetDlgItem(IDC_PREFERENCES)).left;
        const int panel[] = {IDC_PREFERENCES, IDC_NO_HINTS, IDC_MUTE,  IDC_NEW_GAME, IDC_BROWSE_FRAME,
                             IDC_FIRST,       IDC_BACK,     IDC_ADVICE, IDC_FORWARD, IDC_LAST,
                             IDC_SOLUTION,    IDC_LOAD,     IDC_SAVE,  IDC_POSITIONS};
        for (int id : panel) MoveControl(id, dx, 0);
        MoveControl(IDC_HELP_BUTTON, dx, side - 3 * buttonHeight - 20);
        MoveControl(ID_APP_ABOUT, dx, side - 2 * buttonHeight - 15);
        MoveControl(IDCANCEL, dx, side - buttonHeight - 10);
    }
    if (CenterOnLayout) CenterWindow(m_hWnd);
}

void CMainDlg::TogglePanel() {
    PanelShown = !PanelShown;
    CenterOnLayout = false;
    ::SendMessageW(m_hWnd, WM_SIZE, 0, 0);
    CenterOnLayout = true;
}

bool CMainDlg::IsOverDivider(LPARAM lParam) const {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::ChildWindowFromPoint(m_hWnd, pt) == GetDlgItem(IDC_DIVIDER);
}

// ---------------------------------------------------------------- keyboard and idle

BOOL CMainDlg::PreTranslateMessage(MSG* msg) {
    const bool fired = Accelerators != nullptr && ::TranslateAcceleratorW(m_hWnd, Accelerators, msg) != 0;
    if (!fired && msg->message != WM_KEYDOWN) {
        ::TranslateMessage(msg);
        ::DispatchMessageW(msg);
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_SPACE) return TRUE;
        if (msg->wParam == VK_DELETE && ::SendMessageW(PositionsCombo, CB_GETDROPPEDSTATE, 0, 0) == 1)
            DeletePosition(static_cast<int>(::SendMessageW(PositionsCombo, CB_GETCURSEL, 0, 0)));
        if (msg->hwnd == BoardWnd.m_hWnd) {
            if (const int command = BoardCommandForKey(msg->wParam)) {
                SendBoardCommand(command);
                return TRUE;
            }
        }
    }
    if (fired) return ::IsDialogMessageW(m_hWnd, msg);
    ::TranslateMessage(msg);
    ::DispatchMessageW(msg);
    return TRUE;
}

void CMainDlg::ShowControl(int id, bool visible) { ::ShowWindow(GetDlgItem(id), visible ? SW_SHOW : SW_HIDE); }
void CMainDlg::EnableControl(int id, bool enabled) { ::EnableWindow(GetDlgItem(id), enabled ? TRUE : FALSE); }

BOOL CMainDlg::OnIdle(int) {
    const int32_t n = BoardWnd.Play.Game.MoveCount;
    const int32_t r = BoardWnd.Play.ReplayIndex;
    const bool replay = n == NoIndex;

    ShowControl(IDC_FIRST, replay);
    EnableControl(IDC_FIRST, r > 0);
    EnableControl(IDC_BACK, replay ? r > 0 : n > 0);
    ShowControl(IDC_FORWARD, replay);
    EnableControl(IDC_FORWARD, r < 63);
    ShowControl(IDC_LAST, replay);
    EnableControl(IDC_LAST, r < 63);
    ShowControl(IDC_ADVICE, !replay);
    EnableControl(IDC_ADVICE, n >= 2);
    ShowControl(IDC_BROWSE_FRAME, replay);
    EnableControl(IDC_SOLUTION, n != 0 && n != NoIndex);
    EnableControl(IDC_NEW_GAME, n != 0);
    EnableControl(IDC_SAVE, n != 0);
    const bool hasNames = ::SendMessageW(PositionsCombo, CB_GETCOUNT, 0, 0) > 0;
    EnableControl(IDC_LOAD, hasNames && ::GetWindowTextLengthW(PositionsCombo) > 0);
    return FALSE;
}
