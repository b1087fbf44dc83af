#pragma once
// A nested loop that owns the mouse while the left button is held (scroll-bar thumbs,
// the sizing loop): other messages keep being dispatched.

#include "Platform/Win/WinTypes.h"

#include <functional>

namespace Platform {

enum class CaptureEnd { Released, Cancelled };

// Captures the mouse for the window and calls moved with the pointer's screen
// position for every move until the button is released (Released) or Esc is pressed,
// the capture is taken away or the window goes (Cancelled).
CaptureEnd RunCaptureLoop(HWND window, const std::function<void(POINT)>& moved);

} // namespace Platform
