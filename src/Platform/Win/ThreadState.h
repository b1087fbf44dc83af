#pragma once
// Per-thread input and timer state of the window system: focus, activation, capture,
// mouse tracking, the last click (for double-clicks) and timers. Only the thread
// itself touches it.

#include "Platform/Win/WinTypes.h"

#include <cstdint>
#include <vector>

namespace Platform {

struct TimerEntry {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    std::uint64_t due = 0;
    TIMERPROC procedure = nullptr;
};

struct MouseTracking {
    HWND window = nullptr;
    DWORD flags = 0;
    DWORD hoverTime = 0;
    std::uint64_t hoverDue = 0;
};

struct LastClick {
    HWND window = nullptr;
    UINT message = 0;
    std::uint64_t time = 0;
    POINT screen;
};

struct ThreadState {
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    // The window the pointer was last routed to, for leave detection.
    HWND underMouse = nullptr;
    MouseTracking tracking;
    LastClick lastClick;
    std::vector<TimerEntry> timers;

    static ThreadState& Current();
    // Forgets a window that is being destroyed.
    void Forget(HWND window);
};

} // namespace Platform
