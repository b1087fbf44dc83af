#include "Biz/EventQueue.h"

#include "Platform/Win/MessageLoop.h"

EventQueue& EventQueue::Instance()
{
    static EventQueue* instance = new EventQueue();
    return *instance;
}

bool EventQueue::Post(const std::string& name, int value)
{
    return Post(name, value, Epoch());
}

bool EventQueue::Post(const std::string& name, int value, std::uint64_t postEpoch)
{
    std::lock_guard guard(lock);
    if (postEpoch != epoch)
        return false;
    queue.push_back(Event{name, value});
    // A wake-up while no window exists is lost; the event stays for the next drain.
    Platform::PostMessageA(target, WakeMessage, 0, 0);
    return true;
}

bool EventQueue::PopFront(Event& event)
{
    std::lock_guard guard(lock);
    if (queue.empty())
        return false;
    event = std::move(queue.front());
    queue.pop_front();
    return true;
}

std::vector<EventQueue::Handler> EventQueue::HandlersOf(const std::string& name) const
{
    std::lock_guard guard(lock);
    auto it = handlers.find(name);
    return it == handlers.end() ? std::vector<Handler>() : it->second;
}

void EventQueue::Drain()
{
    // The lock is held only to take each event out, not while its handlers run: a
    // handler may then post, or run a nested message loop that drains again, without
    // deadlocking. Only the target's thread drains, so the order stays the posting order.
    Event event;
    while (PopFront(event)) {
        for (const Handler& handler : HandlersOf(event.name))
            handler(event.value);
    }
}

void EventQueue::SetTarget(Platform::HWND newTarget)
{
    std::lock_guard guard(lock);
    target = newTarget;
}

Platform::HWND EventQueue::Target() const
{
    std::lock_guard guard(lock);
    return target;
}

void EventQueue::Connect(const std::string& name, Handler handler)
{
    std::lock_guard guard(lock);
    handlers[name].push_back(std::move(handler));
}

void EventQueue::ClearHandlers()
{
    std::lock_guard guard(lock);
    handlers.clear();
}

std::uint64_t EventQueue::Epoch() const
{
    std::lock_guard guard(lock);
    return epoch;
}

void EventQueue::DiscardPending()
{
    std::lock_guard guard(lock);
    queue.clear();
    handlers.clear();
    target = nullptr;
    ++epoch;
}

std::size_t EventQueue::PendingCount() const
{
    std::lock_guard guard(lock);
    return queue.size();
}
