#include "ColorSquareWnd.h"

#include "CaptionColorDialog.h"
#include "PrefsToolTips.h"
#include "framework/AppModule.h"
#include "resource.h"

BOOL CColorSquareWnd::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_ERASEBKGND:
        PaintSample(reinterpret_cast<HDC>(wParam));
        result = 1;  // erased: the sample paints nothing else
        return TRUE;
    case WM_LBUTTONDOWN:
        PickColor(ColorPart::Text);
        return TRUE;
    case WM_RBUTTONDOWN:
        PickColor(ColorPart::Background);
        return TRUE;
    default:
        return FALSE;
    }
}

void CColorSquareWnd::PaintSample(HDC dc) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const HBRUSH brush = ::CreateSolidBrush(BgColor);
    ::FillRect(dc, &client, brush);
    ::DeleteObject(brush);

    ::SetTextColor(dc, FgColor);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, L"1", 1, &client, DT_SINGLELINE | DT_CENTER | DT_VCENTER);

    // The tooltip waits for the first paint, when the sample has its final size.
    if (ToolTipPending) {
        CreateToolTip();
        ToolTipPending = false;
    }
}

void CColorSquareWnd::CreateToolTip() {
    ToolTip = CreateTipControl(m_hWnd);
    if (ToolTip != nullptr) AddTipTool(ToolTip, m_hWnd, IDS_TIP_COLOR_SAMPLE);
}

void CColorSquareWnd::PickColor(ColorPart which) {
    const bool text = which == ColorPart::Text;
    COLORREF& color = text ? FgColor : BgColor;
    CCaptionColorDialog dialog(color, text ? FgCaption : BgCaption, m_hWnd);
    // Only OK takes the colour: some colour dialogs change the record while the
    // user tries colours, even when the user then cancels.
    if (dialog.DoModal() == IDOK) color = dialog.GetColor();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
}

void CColorSquareWnd::LoadCaptions(UINT bgCaptionId, UINT fgCaptionId) {
    const HINSTANCE instance = AppModule.GetResourceInstance();
    ::LoadStringW(instance, bgCaptionId, BgCaption, CaptionSize);
    ::LoadStringW(instance, fgCaptionId, FgCaption, CaptionSize);
}
