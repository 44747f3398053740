// The "Preferences..." command.
#include "MainDlg.h"

void CMainDlg::OnPreferences() {}
