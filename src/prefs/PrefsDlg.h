// The preferences dialog: squares in plain colours or textures, the four
// colours, the square and knight pictures, the board cursor, the cell size and
// the solver's time limit. Works on copies until OK, which writes Settings and
// the settings file and reloads the board cursor; Cancel changes nothing.
#pragma once

#include <windows.h>

#include <string>

#include "ColorSquareWnd.h"
#include "framework/DialogImpl.h"
#include "resource.h"

class CPrefsDlg : public CDialogImpl<CPrefsDlg> {
public:
    enum { IDD = IDD_PREFS };

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    HWND TrackBar = nullptr;  // the cell-size trackbar 1028
    bool SolidFlag = false;   // Settings as they were when the dialog opened
    std::wstring CursorPath;
    bool HandFlag = false;
    // Where each picture's file dialog starts: the setting when the dialog
    // opened, then the last file chosen with that button. OK reads the edit
    // boxes, not these.
    std::wstring WhitePicturePath;
    std::wstring BlackPicturePath;
    std::wstring KnightPicturePath;
    CColorSquareWnd WhiteSample;
    CColorSquareWnd BlackSample;

private:
    BOOL OnInitDialog();
    void CreateSample(CColorSquareWnd& sample, int placeholder);
    void UpdateEnabling();
    void OnBrowsePicture(int button);
    void OnBrowseCursor();
    void OnOK();
    std::wstring ItemText(int id) const;
    bool IsChecked(int id) const;
    void Enable(int id, bool enabled);
};
