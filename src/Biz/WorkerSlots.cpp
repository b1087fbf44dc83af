#include "Biz/WorkerSlots.h"

#include "Biz/Threading/ManualResetEvent.h"

using Zivoro::Threading::ManualResetEvent;

WorkerSlots::WorkerSlots()
{
    Resize(InitialSize);
}

void WorkerSlots::Resize(int count)
{
    events.clear();
    freeList.clear();
    for (int i = 0; i < count; ++i) {
        events.push_back(std::make_shared<ManualResetEvent>());
        freeList.push_back(events.back());
    }
}

void WorkerSlots::Open(int count)
{
    if (static_cast<int>(events.size()) < count)
        Resize(count);
    for (int i = 0; i < count && !freeList.empty(); ++i) {
        freeList.front()->Set();
        freeList.pop_front();
    }
}

bool WorkerSlots::Collect()
{
    const int position = ManualResetEvent::WaitAny(events);
    if (position < 0)
        return false;
    const Slot& event = events[static_cast<std::size_t>(position)];
    event->Reset();
    freeList.push_back(event);
    return true;
}

void WorkerSlots::WaitAny()
{
    if (Collect())
        slotFreed();
}

void WorkerSlots::WaitAllReturned()
{
    while (freeList.size() < events.size()) {
        if (!Collect())
            return;
    }
}

WorkerSlots::Slot WorkerSlots::TakeSlot()
{
    if (freeList.empty())
        return nullptr;
    Slot slot = freeList.front();
    freeList.pop_front();
    return slot;
}
