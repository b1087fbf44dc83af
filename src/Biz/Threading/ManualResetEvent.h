#pragma once
// An event that stays set until it is reset, and a wait for any of several events.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace Zivoro::Threading {

class ManualResetEvent {
public:
    ManualResetEvent() = default;
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    // Any thread.
    void Set();
    void Reset();
    bool IsSet() const;

    // The position of a set event in events; waits without limit when limit is empty.
    // -1 when the time passed first or there is no event to wait for.
    static int WaitAny(const std::vector<std::shared_ptr<ManualResetEvent>>& events,
                       std::optional<std::chrono::milliseconds> limit = std::nullopt);

private:
    // A thread inside WaitAny, woken by whichever of its events is set first.
    struct Waiter {
        std::mutex lock;
        std::condition_variable woken;
        bool signalled = false;
    };

    static int FirstSet(const std::vector<std::shared_ptr<ManualResetEvent>>& events);
    void AddWaiter(Waiter* waiter);
    void RemoveWaiter(Waiter* waiter);

    mutable std::mutex lock;
    bool state = false;
    std::vector<Waiter*> waiters;
};

} // namespace Zivoro::Threading
