#include "PrefsToolTips.h"

#include <commctrl.h>

#include "framework/AppModule.h"
#include "resource.h"

HWND CreateTipControl(HWND owner) {
    const HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                       AppModule.GetModuleInstance(), nullptr);
    if (tip != nullptr) ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, PrefsTipWidth);
    return tip;
}

bool AddTipTool(HWND tip, HWND control, UINT textId) {
    // The tooltip keeps its own copy of the text.
    std::wstring text = AppModule.LoadResourceString(textId);

    // The full structure of the common controls version 6, which the
    // program's manifest selects.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = control;
    tool.uId = 1;
    ::GetClientRect(control, &tool.rect);
    tool.lpszText = text.data();
    return ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

HWND AddPrefsToolTips(HWND dialog) {
    static const struct {
        int Control;
        UINT Text;
    } tools[] = {
        {IDC_WHITE_PICTURE, IDS_TIP_SQUARE_PICTURE}, {IDC_BLACK_PICTURE, IDS_TIP_SQUARE_PICTURE},
        {IDC_WHITE_SAMPLE, IDS_TIP_COLOR_SAMPLE},    {IDC_BLACK_SAMPLE, IDS_TIP_COLOR_SAMPLE},
        {IDC_KNIGHT_PICTURE, IDS_TIP_KNIGHT_PICTURE}, {IDC_CURSOR_FILE, IDS_TIP_CURSOR_FILE},
        {IDC_HAND_CURSOR, IDS_TIP_HAND_CURSOR},
    };
    const HWND tip = CreateTipControl(dialog);
    if (tip == nullptr) return nullptr;
    for (const auto& t : tools) AddTipTool(tip, ::GetDlgItem(dialog, t.Control), t.Text);
    return tip;
}
