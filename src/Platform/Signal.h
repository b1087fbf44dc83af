#pragma once
// A light signal: slots are called in the order they were connected. A slot may
// disconnect itself or others, or connect new ones, while the signal runs; a slot
// connected during a call runs from the next call on. Connecting, disconnecting and
// calling may happen on different threads: the slot list is guarded by a mutex that is
// never held while a slot runs.

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace Platform {

namespace SignalDetail {

struct SlotState {
    std::mutex mutex;
    bool connected = true;
};

} // namespace SignalDetail

// Stands for one connected slot; copies stand for the same slot. Disconnecting a slot
// whose signal is gone does nothing.
class Connection {
public:
    Connection() = default;
    explicit Connection(std::weak_ptr<SignalDetail::SlotState> state) : state(std::move(state)) {}

    void disconnect() const
    {
        if (const auto live = state.lock()) {
            const std::lock_guard<std::mutex> lock(live->mutex);
            live->connected = false;
        }
    }
    bool connected() const
    {
        const auto live = state.lock();
        if (!live)
            return false;
        const std::lock_guard<std::mutex> lock(live->mutex);
        return live->connected;
    }

private:
    std::weak_ptr<SignalDetail::SlotState> state;
};

// Disconnects its slot when it goes out of scope or is given another.
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection connection) : connection(std::move(connection)) {}
    ~ScopedConnection() { connection.disconnect(); }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ScopedConnection& operator=(Connection other)
    {
        connection.disconnect();
        connection = std::move(other);
        return *this;
    }

private:
    Connection connection;
};

template <typename Signature> class Signal;

template <typename... Args> class Signal<void(Args...)> {
public:
    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    Connection connect(std::function<void(Args...)> function)
    {
        auto slot = std::make_shared<Slot>();
        slot->function = std::move(function);
        const std::lock_guard<std::mutex> lock(mutex);
        slots.push_back(slot);
        return Connection(std::shared_ptr<SignalDetail::SlotState>(slot, &slot->state));
    }

    void operator()(Args... args) const
    {
        for (const auto& slot : Snapshot()) {
            if (slot->Connected())
                slot->function(args...);
        }
    }

private:
    struct Slot {
        SignalDetail::SlotState state;
        std::function<void(Args...)> function;

        bool Connected()
        {
            const std::lock_guard<std::mutex> lock(state.mutex);
            return state.connected;
        }
    };

    // The slots still connected, with the disconnected ones dropped from the list.
    std::vector<std::shared_ptr<Slot>> Snapshot() const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        slots.erase(std::remove_if(slots.begin(), slots.end(), [](const auto& slot) { return !slot->Connected(); }),
                    slots.end());
        return slots;
    }

    mutable std::mutex mutex;
    mutable std::vector<std::shared_ptr<Slot>> slots;
};

} // namespace Platform
