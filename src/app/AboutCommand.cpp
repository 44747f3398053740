// The "About" command: the about box, owned by whichever window is active
// (normally the main dialog). Its result does not matter.
#include "MainDlg.h"

#include "AboutDlg.h"

void CMainDlg::OnAbout() {
    CAboutDlg dialog;
    dialog.DoModal(::GetActiveWindow());
}
