#include "CaptionColorDialog.h"

COLORREF CustomColors[16] = {
    0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF,
    0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF,
};

CCaptionColorDialog::CCaptionColorDialog(COLORREF initial, const wchar_t* caption, HWND owner) : m_cc() {
    m_cc.lStructSize = sizeof m_cc;
    m_cc.hwndOwner = owner;
    m_cc.rgbResult = initial;
    m_cc.lpCustColors = CustomColors;
    // Black is the dialog's own starting colour, so it needs no initial selection.
    m_cc.Flags = CC_FULLOPEN | CC_ENABLEHOOK | (initial != 0 ? CC_RGBINIT : 0);
    m_cc.lCustData = reinterpret_cast<LPARAM>(caption);
    m_cc.lpfnHook = &CCaptionColorDialog::CaptionHook;
}

INT_PTR CCaptionColorDialog::DoModal() { return ::ChooseColorW(&m_cc) ? IDOK : IDCANCEL; }

// Sets the caption once the dialog exists and leaves every message to the
// dialog itself: a non-zero answer would keep the dialog from handling it.
UINT_PTR CALLBACK CCaptionColorDialog::CaptionHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return FALSE;
    const auto* record = reinterpret_cast<const CHOOSECOLORW*>(lParam);
    ::SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(record->lCustData));
    return TRUE;
}
