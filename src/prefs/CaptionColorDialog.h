// The platform's colour dialog under a caption of our own, and the custom
// colours that every colour dialog of the run shares.
#pragma once

#include <windows.h>
#include <commdlg.h>

// The 16 custom colours that every colour dialog offers and edits: white at
// start, kept for the whole run, never saved.
extern COLORREF CustomColors[16];

class CCaptionColorDialog {
public:
    // caption must stay alive while the dialog runs: the hook reads it when
    // the dialog initialises.
    CCaptionColorDialog(COLORREF initial, const wchar_t* caption, HWND owner);

    // Runs the dialog modally: IDOK after OK, IDCANCEL after Cancel or when
    // the dialog could not be run.
    INT_PTR DoModal();

    // The colour picked; meaningful after IDOK.
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLORW m_cc;

private:
    static UINT_PTR CALLBACK CaptionHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
};
