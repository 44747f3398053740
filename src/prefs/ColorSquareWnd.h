// A colour sample of the preferences dialog: a "1" in the text colour on the
// background colour, as a move number looks on a plain board square. A left
// click picks the text colour, a right click the background colour.
#pragma once

#include <windows.h>

#include "framework/WindowImpl.h"

class CColorSquareWnd : public CWindowImpl<CColorSquareWnd> {
public:
    enum class ColorPart { Text, Background };

    // Room for the captions of the colour dialogs, terminating zero included.
    static constexpr int CaptionSize = 259;

    static WindowClassInfo GetWndClassInfo() { return {L"OrvanColorSquare", CS_HREDRAW | CS_VREDRAW, IDC_HAND}; }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Fills the client area with BgColor and centres a "1" in FgColor on it;
    // the first time also creates the sample's tooltip.
    void PaintSample(HDC dc);

    // Lets the user pick the text or background colour in a colour dialog
    // captioned FgCaption or BgCaption, then repaints the sample.
    void PickColor(ColorPart which);

    // Loads both captions from the string table (cut to CaptionSize - 1).
    void LoadCaptions(UINT bgCaptionId, UINT fgCaptionId);

    HWND ToolTip = nullptr;
    bool ToolTipPending = true;
    COLORREF BgColor = 0x00FFFFFF;
    COLORREF FgColor = 0x00000000;
    wchar_t BgCaption[CaptionSize] = L"";
    wchar_t FgCaption[CaptionSize] = L"";

private:
    void CreateToolTip();
};
