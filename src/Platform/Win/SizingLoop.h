#pragma once
// The sizing loop of WM_SYSCOMMAND with SC_SIZE: the pointer drags an edge or corner
// until the button is released; WM_SIZING may change each proposed rectangle, and the
// minimum tracking size of WM_GETMINMAXINFO is kept. Esc restores the first size.

#include "Platform/Win/WinTypes.h"

namespace Platform {

// edge: WMSZ_LEFT .. WMSZ_BOTTOMRIGHT.
void RunSizingLoop(HWND window, WPARAM edge);

} // namespace Platform
