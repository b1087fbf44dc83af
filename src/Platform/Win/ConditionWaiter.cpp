#include "Platform/Win/ConditionWaiter.h"

#include <chrono>

namespace Platform {

void ConditionWaiter::Wait(int timeoutMs)
{
    std::unique_lock lock(mutex);
    if (timeoutMs < 0)
        woken.wait(lock, [this] { return pending; });
    else
        woken.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return pending; });
    pending = false;
}

void ConditionWaiter::Wake()
{
    {
        std::lock_guard lock(mutex);
        pending = true;
    }
    woken.notify_one();
}

} // namespace Platform
