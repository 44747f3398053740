// The "Help" command and F1.
#include "MainDlg.h"

void CMainDlg::ShowHelp() {}
