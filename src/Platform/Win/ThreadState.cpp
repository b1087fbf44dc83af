#include "Platform/Win/ThreadState.h"

namespace Platform {

ThreadState& ThreadState::Current()
{
    thread_local ThreadState state;
    return state;
}

void ThreadState::Forget(HWND window)
{
    for (HWND* slot : {&focus, &active, &capture, &underMouse, &tracking.window, &lastClick.window})
        if (*slot == window)
            *slot = nullptr;
    std::erase_if(timers, [window](const TimerEntry& timer) { return timer.window == window; });
}

} // namespace Platform
