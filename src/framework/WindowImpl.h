// A window class whose messages go to one member of a C++ object: the static
// window procedure finds the object (stored at WM_NCCREATE) and calls its
// ProcessWindowMessage, which is the class's message map.
#pragma once

#include <windows.h>

#include "AppModule.h"

struct WindowClassInfo {
    const wchar_t* Name;
    UINT Style;
    const wchar_t* SystemCursor;  // a predefined cursor id, or nullptr for none
};

template <typename T>
class CWindowImpl {
public:
    HWND m_hWnd = nullptr;

    virtual ~CWindowImpl() = default;

    HWND Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle = 0, UINT id = 0) {
        const WindowClassInfo info = T::GetWndClassInfo();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = info.Style;
        wc.lpfnWndProc = &CWindowImpl::WindowProc;
        wc.hInstance = AppModule.GetModuleInstance();
        wc.hCursor = info.SystemCursor != nullptr ? ::LoadCursorW(nullptr, info.SystemCursor) : nullptr;
        wc.lpszClassName = info.Name;
        if (AppModule.RegisterWindowClass(wc) == 0) return nullptr;
        return ::CreateWindowExW(exStyle, info.Name, nullptr, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                 AppModule.GetModuleInstance(), this);
    }

    // The message map: true when handled, with the result in result.
    virtual BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    virtual void OnFinalMessage(HWND) {}

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        CWindowImpl* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<CWindowImpl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->m_hWnd = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<CWindowImpl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        LRESULT result = 0;
        if (self->ProcessWindowMessage(hwnd, msg, wParam, lParam, result)) return result;
        result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hwnd);
        }
        return result;
    }
};
