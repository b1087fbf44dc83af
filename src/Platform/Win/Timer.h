#pragma once
// Timers: WM_TIMER once each period has passed on the window-system clock, generated
// when the queue has nothing else. A timer that falls behind fires once, not once per
// missed period.

#include "Platform/Win/WinTypes.h"

#include <cstdint>

namespace Platform {

// Replaces a timer with the same window and id. Returns the id (non-zero).
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

// For the message loop: a due WM_TIMER (rescheduled when remove is set), and the
// milliseconds until the next one is due (-1: no timer).
bool NextTimerMessage(MSG& out, HWND filter, bool remove);
std::int64_t MillisecondsUntilTimer();

} // namespace Platform
