#include "Biz/Threading/ManualResetEvent.h"

#include <algorithm>

namespace Zivoro::Threading {

void ManualResetEvent::Set()
{
    // Waiters are woken under the event's lock: a waiter removes itself under the same
    // lock before it goes away, so none is woken after it has gone.
    std::lock_guard guard(lock);
    state = true;
    for (Waiter* waiter : waiters) {
        std::lock_guard waiterGuard(waiter->lock);
        waiter->signalled = true;
        waiter->woken.notify_one();
    }
}

void ManualResetEvent::Reset()
{
    std::lock_guard guard(lock);
    state = false;
}

bool ManualResetEvent::IsSet() const
{
    std::lock_guard guard(lock);
    return state;
}

void ManualResetEvent::AddWaiter(Waiter* waiter)
{
    std::lock_guard guard(lock);
    waiters.push_back(waiter);
}

void ManualResetEvent::RemoveWaiter(Waiter* waiter)
{
    std::lock_guard guard(lock);
    waiters.erase(std::remove(waiters.begin(), waiters.end(), waiter), waiters.end());
}

int ManualResetEvent::FirstSet(const std::vector<std::shared_ptr<ManualResetEvent>>& events)
{
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i] && events[i]->IsSet())
            return static_cast<int>(i);
    }
    return -1;
}

int ManualResetEvent::WaitAny(const std::vector<std::shared_ptr<ManualResetEvent>>& events,
                              std::optional<std::chrono::milliseconds> limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit.value_or(std::chrono::milliseconds(0));
    Waiter waiter;
    for (const auto& event : events) {
        if (event)
            event->AddWaiter(&waiter);
    }
    int found = FirstSet(events);
    {
        std::unique_lock waiterLock(waiter.lock);
        while (found < 0 && !events.empty()) {
            if (!limit) {
                waiter.woken.wait(waiterLock, [&] { return waiter.signalled; });
            } else if (!waiter.woken.wait_until(waiterLock, deadline, [&] { return waiter.signalled; })) {
                break;
            }
            waiter.signalled = false;
            waiterLock.unlock();
            found = FirstSet(events);
            waiterLock.lock();
        }
    }
    for (const auto& event : events) {
        if (event)
            event->RemoveWaiter(&waiter);
    }
    return found;
}

} // namespace Zivoro::Threading
