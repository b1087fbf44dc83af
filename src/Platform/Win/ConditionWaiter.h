#pragma once
// A loop's wait on a condition variable: what every backend without a file descriptor
// of its own to wait on uses.

#include "Platform/Win/Waiter.h"

#include <condition_variable>
#include <mutex>

namespace Platform {

class ConditionWaiter : public Waiter {
public:
    void Wait(int timeoutMs) override;
    void Wake() override;

private:
    std::mutex mutex;
    std::condition_variable woken;
    bool pending = false; // guarded by mutex
};

} // namespace Platform
