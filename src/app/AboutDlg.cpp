#include "AboutDlg.h"

#include "VersionLabel.h"
#include "framework/CenterWindow.h"

BOOL CAboutDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        // Only the identifier counts, whatever the notification.
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(IDOK);
            result = 0;
            return TRUE;
        case IDCANCEL:
            EndDialog(IDCANCEL);
            result = 0;
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

BOOL CAboutDlg::OnInitDialog() {
    CenterWindow(m_hWnd);
    // The template's "Version x" is only a placeholder; the box is not yet
    // visible here.
    ::SetDlgItemTextW(m_hWnd, IDC_VERSION_LABEL, VersionLabel(ReadOwnProductVersion()).c_str());
    // The platform then puts the focus on the first control that takes it, OK.
    return TRUE;
}
