// The about box (template 100): the application icon, the program's version,
// the goal of the game and the credit text. Modal; OK or Enter ends it with 1,
// Escape or the close box with 2.
#pragma once

#include <windows.h>

#include "framework/DialogImpl.h"
#include "resource.h"

class CAboutDlg : public CDialogImpl<CAboutDlg> {
public:
    enum { IDD = IDD_ABOUT };

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    BOOL OnInitDialog();
};
