// Centring a window over its owner, or on the work area of its monitor.
#pragma once

#include <windows.h>

// Where a window of the given rectangle goes when centred on reference and
// kept inside workArea: right and bottom edges first, then left and top, so
// that the top-left corner stays visible.
POINT CenteredPosition(const RECT& window, const RECT& reference, const RECT& workArea);

// Centres the top-level window hwnd over center (or its owner when center is nullptr) when that
// window is visible and not minimised, else on the work area of the monitor
// nearest to hwnd.
BOOL CenterWindow(HWND hwnd, HWND center = nullptr);
