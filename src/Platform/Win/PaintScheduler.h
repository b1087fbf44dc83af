#pragma once
// Finds the next window of the calling thread that needs painting.

#include "Platform/Win/WinTypes.h"

namespace Platform {

// A WM_PAINT for the first window (back to front, parents first) with an invalid
// area; a window whose frame needs painting gets WM_NCPAINT first.
bool NextPaintMessage(MSG& out, HWND filter);

} // namespace Platform
