#include "Platform/Win/Timer.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/ThreadState.h"
#include "Platform/Win/WindowTree.h"

#include <algorithm>

namespace Platform {

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC procedure)
{
    if (window && !OwnedWindow(window))
        return 0;
    auto& timers = ThreadState::Current().timers;
    if (!window) {
        // Timers without a window get an id of their own.
        UINT_PTR next = 1;
        for (const TimerEntry& timer : timers)
            next = std::max(next, timer.id + 1);
        id = next;
    }
    std::erase_if(timers, [&](const TimerEntry& timer) { return timer.window == window && timer.id == id; });
    const UINT elapse = std::max<UINT>(elapseMs, 1);
    timers.push_back(TimerEntry{window, id, elapse, GetTickCount64() + elapse, procedure});
    return id == 0 ? 1 : id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    auto& timers = ThreadState::Current().timers;
    const auto removed =
        std::erase_if(timers, [&](const TimerEntry& timer) { return timer.window == window && timer.id == id; });
    return removed ? TRUE : FALSE;
}

bool NextTimerMessage(MSG& out, HWND filter, bool remove)
{
    const std::uint64_t now = GetTickCount64();
    for (TimerEntry& timer : ThreadState::Current().timers) {
        if (timer.due > now || (filter && timer.window != filter))
            continue;
        out = MSG{};
        out.hwnd = timer.window;
        out.message = WM_TIMER;
        out.wParam = timer.id;
        out.lParam = reinterpret_cast<LPARAM>(timer.procedure);
        out.time = static_cast<DWORD>(now);
        if (remove)
            timer.due = now + timer.elapse;
        return true;
    }
    return false;
}

std::int64_t MillisecondsUntilTimer()
{
    const std::uint64_t now = GetTickCount64();
    std::int64_t soonest = -1;
    for (const TimerEntry& timer : ThreadState::Current().timers) {
        const std::int64_t wait = timer.due > now ? static_cast<std::int64_t>(timer.due - now) : 0;
        if (soonest < 0 || wait < soonest)
            soonest = wait;
    }
    return soonest;
}

} // namespace Platform
