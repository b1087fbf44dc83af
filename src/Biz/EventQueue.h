#pragma once
// Named events from any thread to the control's thread. Post appends an event and
// posts WM_USER + 100 to the target window; the window's handler calls Drain, which
// runs the handlers of every queued event in posting order.
//
// Each control that goes away discards what is still queued and starts a new epoch;
// a producer that captured an older epoch (a task of a control that is gone) has its
// later posts dropped, so nothing of one control reaches the next.

#include "Platform/Win/WinTypes.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class EventQueue {
public:
    using Handler = std::function<void(int)>;
    static constexpr Platform::UINT WakeMessage = Platform::WM_USER + 100;

    static EventQueue& Instance();

    // Any thread. False when the event was dropped for a stale epoch.
    bool Post(const std::string& name, int value);
    bool Post(const std::string& name, int value, std::uint64_t epoch);
    // The target window's thread.
    void Drain();

    // The control's thread.
    void SetTarget(Platform::HWND target);
    Platform::HWND Target() const;
    void Connect(const std::string& name, Handler handler);
    void ClearHandlers();
    std::uint64_t Epoch() const;
    // Drops queued events, handlers and target, and starts a new epoch.
    void DiscardPending();
    std::size_t PendingCount() const;

private:
    struct Event {
        std::string name;
        int value;
    };

    EventQueue() = default;
    bool PopFront(Event& event);
    std::vector<Handler> HandlersOf(const std::string& name) const;

    mutable std::mutex lock;
    Platform::HWND target = nullptr;
    std::deque<Event> queue;
    std::unordered_map<std::string, std::vector<Handler>> handlers;
    std::uint64_t epoch = 1;
};
