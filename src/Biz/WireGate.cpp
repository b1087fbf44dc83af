#include "Biz/WireGate.h"

#include <chrono>

WireGate::WireGate(int places) : places(places) {}

std::uint64_t WireGate::Issue()
{
    std::lock_guard guard(lock);
    return issued++;
}

bool WireGate::Enter(std::uint64_t ticket, const std::atomic<bool>& stopFlag)
{
    std::unique_lock guard(lock);
    // The stop flag has no way to wake the waiters, so they look at it now and then.
    while (ticket != serving || onWire >= places) {
        if (stopFlag.load())
            return false;
        changed.wait_for(guard, std::chrono::milliseconds(20));
    }
    if (stopFlag.load())
        return false;
    ++serving;
    SkipPassed();
    ++onWire;
    changed.notify_all();
    return true;
}

void WireGate::Leave()
{
    std::lock_guard guard(lock);
    --onWire;
    changed.notify_all();
}

void WireGate::Pass(std::uint64_t ticket)
{
    std::lock_guard guard(lock);
    passed.insert(ticket);
    SkipPassed();
    changed.notify_all();
}

void WireGate::SkipPassed()
{
    while (!passed.empty() && *passed.begin() == serving) {
        passed.erase(passed.begin());
        ++serving;
    }
}
