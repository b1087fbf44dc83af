#pragma once
// A nested loop that owns the mouse while the left button is held (scroll-bar thumbs,
// arrows and page areas, the sizing loop): other messages keep being dispatched.

#include "Platform/Win/WinTypes.h"

#include <functional>

namespace Platform {

enum class CaptureEnd { Released, Cancelled };

// A step repeated while the button is held: the first time after delayMs, then every
// periodMs, on the window-system clock.
struct CaptureRepeat {
    UINT delayMs;
    UINT periodMs;
    std::function<void()> step;
};

// Captures the mouse for the window and calls moved with the pointer's screen
// position for every move, and the repeat's step when it is due, until the button is
// released (Released) or Esc is pressed, the capture is taken away or the window goes
// (Cancelled).
CaptureEnd RunCaptureLoop(HWND window, const std::function<void(POINT)>& moved, const CaptureRepeat* repeat = nullptr);

// What the general loop does with one input message.
enum class CaptureStep { Continue, Dispatch, Release, Cancel };

// The general loop: every mouse message for the window and every keyboard message
// (WM_KEYDOWN to WM_CHAR, whatever window it is for) goes to input, which handles it
// (Continue), passes it on (Dispatch) or ends the loop (Release, Cancel: both release
// the capture). Other messages are dispatched. The capture taken away, the window
// gone or WM_QUIT end it as Cancelled.
CaptureEnd RunCaptureLoop(HWND window, const std::function<CaptureStep(const MSG&)>& input,
                          const CaptureRepeat* repeat = nullptr);

} // namespace Platform
