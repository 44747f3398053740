// The "Preferences..." command: runs the preferences dialog and, after OK,
// brings the board to the new cell size, pictures and colours.
#include "MainDlg.h"

#include "prefs/PrefsDlg.h"
#include "settings/Settings.h"

void CMainDlg::OnPreferences() {
    CPrefsDlg dialog;
    if (dialog.DoModal(::GetActiveWindow()) != IDOK) return;

    BoardWnd.Play.CellSize = Settings.CellSize;
    BoardWnd.LoadPictures();
    // The board takes its new size first; the main dialog then lays itself
    // out around it and centres itself.
    ::SendMessageW(BoardWnd.m_hWnd, WM_SIZE, 0, 0);
    ::SendMessageW(m_hWnd, WM_SIZE, 0, 0);
    ::InvalidateRect(BoardWnd.m_hWnd, nullptr, TRUE);
    ::UpdateWindow(BoardWnd.m_hWnd);
}
