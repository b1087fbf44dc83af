#pragma once
// The sizing loop of WM_SYSCOMMAND with SC_SIZE: the pointer drags an edge or corner
// until the button is released; WM_SIZING may change each proposed rectangle, and the
// minimum tracking size of WM_GETMINMAXINFO is kept. Esc restores the first size.

// WinConstants.h relies on the types being declared first.
#include "Platform/Win/WinTypes.h"
#include "Platform/Win/WinConstants.h"

namespace Platform {

// edge: WMSZ_LEFT .. WMSZ_BOTTOMRIGHT.
void RunSizingLoop(HWND window, WPARAM edge);

// The WM_SYSCOMMAND that drags the border a sizing hit code names (HTLEFT ..
// HTBOTTOMRIGHT, which run in the order of WMSZ_LEFT .. WMSZ_BOTTOMRIGHT).
constexpr WPARAM SizeCommandFor(WPARAM hitCode)
{
    return SC_SIZE + (hitCode - HTLEFT + WMSZ_LEFT);
}

} // namespace Platform
