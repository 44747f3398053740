// A dialog from a template whose messages go to one member of a C++ object:
// the static dialog procedure stores the object at WM_INITDIALOG and calls its
// ProcessWindowMessage. Modeless with Create, modal with DoModal.
#pragma once

#include <windows.h>

#include "AppModule.h"

template <typename T>
class CDialogImpl {
public:
    HWND m_hWnd = nullptr;

    virtual ~CDialogImpl() = default;

    // The message map: true when handled, with the result in result.
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    virtual DLGPROC GetDialogProc() { return &CDialogImpl::DialogProc; }
    virtual void OnFinalMessage(HWND) {}

    HWND Create(HWND parent, LPARAM = 0) {
        return ::CreateDialogParamW(AppModule.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent,
                                    GetDialogProc(), reinterpret_cast<LPARAM>(this));
    }

    INT_PTR DoModal(HWND parent = ::GetActiveWindow()) {
        return ::DialogBoxParamW(AppModule.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent,
                                 GetDialogProc(), reinterpret_cast<LPARAM>(this));
    }

    BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        CDialogImpl* self = nullptr;
        if (msg == WM_INITDIALOG) {
            self = reinterpret_cast<CDialogImpl*>(lParam);
            self->m_hWnd = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<CDialogImpl*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        }
        if (self == nullptr) return FALSE;
        LRESULT result = 0;
        const BOOL handled = self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hwnd);
            return FALSE;
        }
        if (!handled) return FALSE;
        switch (msg) {
        // These return their result directly rather than through DWLP_MSGRESULT.
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
};
