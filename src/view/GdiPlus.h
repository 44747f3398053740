// The GDI+ flat interface, as the board view uses it.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

using Gdiplus::GpBitmap;
using Gdiplus::GpCachedBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpStatus;
using namespace Gdiplus::DllExports;
