#pragma once
// A pool of manual-reset events, each standing for one upload that may run. An event
// is in exactly one place: the free list, set and waiting to be collected, or held by
// a running upload, which sets it when it is done.

#include "Platform/Signal.h"

#include <deque>
#include <memory>
#include <vector>

namespace Zivoro::Threading {
class ManualResetEvent;
}

class WorkerSlots {
public:
    using Slot = std::shared_ptr<Zivoro::Threading::ManualResetEvent>;
    static constexpr int InitialSize = 5;

    WorkerSlots();

    // Replaces every event with count new ones, all free and not set.
    void Resize(int count);
    // Grows the pool to count events when smaller, then sets count free events, which
    // WaitAny collects as free slots.
    void Open(int count);
    // Waits for any set event, resets it, puts it in the free list and raises
    // slotFreed.
    void WaitAny();
    // Collects set events until every event is free again; slotFreed is not raised.
    void WaitAllReturned();
    // Removes the first free event; the caller sets it when its upload is done.
    Slot TakeSlot();

    std::size_t Size() const { return events.size(); }
    std::size_t FreeCount() const { return freeList.size(); }

    Platform::Signal<void()> slotFreed;

private:
    bool Collect();

    std::vector<Slot> events;
    std::deque<Slot> freeList;
};
