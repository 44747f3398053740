// The "About" command.
#include "MainDlg.h"

void CMainDlg::OnAbout() {}
