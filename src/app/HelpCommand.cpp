// The "Help" command and F1: the help file's contents, then its start page
// (context number 0). The viewer reports a missing file or topic itself; when
// there is no viewer nothing happens.
#include "MainDlg.h"

#include "HtmlHelp.h"
#include "settings/Settings.h"

void CMainDlg::ShowHelp() {
    CallHtmlHelp(m_hWnd, Settings.HelpFilePath.c_str(), HelpCommandDisplayToc, 0);
    CallHtmlHelp(m_hWnd, Settings.HelpFilePath.c_str(), HelpCommandHelpContext, 0);
}
