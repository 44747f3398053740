#include <gtest/gtest.h>
#include <windows.h>

#include "framework/CenterWindow.h"

namespace {

struct CenterCase {
    const char* name;
    RECT window, reference, workArea;
    LONG left, top;
};

TEST(CenterWindow, CentresAndKeepsTheWindowInsideTheWorkArea) {
    const RECT work{0, 0, 1280, 1000};
    const CenterCase cases[] = {
        {"centred on the reference", {0, 0, 200, 100}, {100, 100, 501, 401}, work, 200, 200},
        {"centred on the work area", {0, 0, 300, 200}, work, work, 490, 400},
        {"sticks out right", {0, 0, 400, 100}, {1000, 100, 1200, 300}, work, 880, 150},
        {"sticks out bottom", {0, 0, 100, 400}, {100, 900, 300, 1000}, work, 150, 600},
        {"sticks out left and top", {0, 0, 400, 400}, {-100, -100, 100, 100}, work, 0, 0},
        {"larger than the work area keeps its top-left visible", {0, 0, 1500, 1200}, work, work, 0, 0},
        {"work area not at the origin", {0, 0, 100, 100}, {1900, 50, 2000, 150}, {1280, 20, 2000, 1000}, 1900, 50},
    };
    for (const CenterCase& c : cases) {
        const POINT p = CenteredPosition(c.window, c.reference, c.workArea);
        EXPECT_EQ(p.x, c.left) << c.name;
        EXPECT_EQ(p.y, c.top) << c.name;
    }
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakePopup(HWND owner, int x, int y, int w, int h, bool visible) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CenterTestWindow";
        ::RegisterClassW(&wc);
        registered = true;
    }
    return ::CreateWindowExW(0, L"CenterTestWindow", L"", WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, w, h, owner,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

RECT WindowRect(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    return r;
}

TEST(CenterWindow, CentresOverAVisibleOwnerElseOnTheWorkArea) {
    const HWND owner = MakePopup(nullptr, 100, 100, 400, 300, true);
    const HWND box = MakePopup(owner, 0, 0, 200, 100, false);
    ASSERT_TRUE(owner && box);
    ASSERT_TRUE(CenterWindow(box));
    RECT r = WindowRect(box);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 200);

    ::ShowWindow(owner, SW_HIDE);
    ASSERT_TRUE(CenterWindow(box));
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &info);
    r = WindowRect(box);
    EXPECT_EQ(r.left, (info.rcWork.left + info.rcWork.right) / 2 - 100);
    EXPECT_EQ(r.top, (info.rcWork.top + info.rcWork.bottom) / 2 - 50);
    ::DestroyWindow(box);
    ::DestroyWindow(owner);
}

}  // namespace
