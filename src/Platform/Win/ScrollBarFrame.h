#pragma once
// The default frame's side of the scroll bars: room, hit-testing, painting, tracking.

#include "Platform/Win/WinTypes.h"

namespace Platform {

struct WindowObject;

// Takes the bars' room from a proposed client rectangle (window style decides).
void ReserveScrollBars(std::uint32_t style, RECT& client);
// HTVSCROLL, HTHSCROLL or HTNOWHERE for a screen point.
int HitTestScrollBars(HWND window, POINT screen);
void PaintScrollBars(HWND window);
// Runs the mouse interaction that starts with a press at the screen point.
void TrackScrollBar(HWND window, int hit, POINT screen);

} // namespace Platform
