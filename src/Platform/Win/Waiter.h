#pragma once
// The wait of a thread's message loop. The backend supplies it, so that input,
// wake-ups and timers end one wait.

namespace Platform {

class Waiter {
public:
    virtual ~Waiter() = default;
    // Returns when woken or after timeoutMs milliseconds; a negative timeout waits
    // until woken. A wake that came before the wait ends it at once.
    virtual void Wait(int timeoutMs) = 0;
    // Any thread.
    virtual void Wake() = 0;
};

} // namespace Platform
