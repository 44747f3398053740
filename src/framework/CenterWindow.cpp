#include "CenterWindow.h"

POINT CenteredPosition(const RECT& window, const RECT& reference, const RECT& workArea) {
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG left = (reference.left + reference.right) / 2 - width / 2;
    LONG top = (reference.top + reference.bottom) / 2 - height / 2;
    if (left + width > workArea.right) left = workArea.right - width;
    if (top + height > workArea.bottom) top = workArea.bottom - height;
    if (left < workArea.left) left = workArea.left;
    if (top < workArea.top) top = workArea.top;
    return POINT{left, top};
}

namespace {

RECT WorkAreaNear(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

}  // namespace

BOOL CenterWindow(HWND hwnd, HWND center) {
    if (center == nullptr) center = ::GetWindow(hwnd, GW_OWNER);

    RECT window{};
    ::GetWindowRect(hwnd, &window);
    RECT reference{};
    RECT workArea{};
    if (center != nullptr && ::IsWindowVisible(center) && !::IsIconic(center)) {
        ::GetWindowRect(center, &reference);
        workArea = WorkAreaNear(center);
    } else {
        workArea = WorkAreaNear(hwnd);
        reference = workArea;
    }
    const POINT pos = CenteredPosition(window, reference, workArea);
    return ::SetWindowPos(hwnd, nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
