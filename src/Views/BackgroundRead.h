#pragma once
// A read that may block (a folder on a slow or stale mount) run on a thread of its
// own, so that the window thread never waits for long: the owner waits a short
// while, and a read that takes longer is handed over later through a message posted
// to the owner's window. The thread is never joined; a read nobody waits for any more
// ends on its own and its result is dropped.

#include "Platform/Win/MessageLoop.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

template <typename Result> class BackgroundRead {
public:
    // Starts read(stop) at once. stop is set by Abandon; the read may look at it.
    BackgroundRead(std::function<Result(const std::atomic<bool>& stop)> read, Platform::HWND window,
                   Platform::UINT message, Platform::WPARAM tag)
        : state(std::make_shared<State>())
    {
        state->window = window;
        state->message = message;
        state->tag = tag;
        std::thread([state = state, read = std::move(read)] {
            Result result = read(state->stop);
            bool post = false;
            {
                std::lock_guard guard(state->lock);
                state->result = std::move(result);
                post = state->late;
            }
            state->finished.notify_all();
            if (post && !state->stop)
                Platform::PostMessageW(state->window, state->message, state->tag, 0);
        }).detach();
    }

    ~BackgroundRead() { Abandon(); }
    BackgroundRead(const BackgroundRead&) = delete;
    BackgroundRead& operator=(const BackgroundRead&) = delete;

    // The result when the read ends within the wait; otherwise nothing, and the
    // message is posted when it ends.
    std::optional<Result> Wait(std::chrono::milliseconds wait)
    {
        std::unique_lock guard(state->lock);
        if (!state->finished.wait_for(guard, wait, [&] { return state->result.has_value(); })) {
            state->late = true;
            return std::nullopt;
        }
        return std::move(state->result);
    }

    // The result after the message came; nothing when it was taken already.
    std::optional<Result> Take()
    {
        std::lock_guard guard(state->lock);
        return std::exchange(state->result, std::nullopt);
    }

    // Asks the read to stop; its result, if any comes, is dropped.
    void Abandon() { state->stop = true; }

private:
    struct State {
        std::mutex lock;
        std::condition_variable finished;
        std::optional<Result> result; // guarded by lock
        bool late = false; // guarded by lock: the owner stopped waiting
        std::atomic<bool> stop{false};
        Platform::HWND window = nullptr;
        Platform::UINT message = 0;
        Platform::WPARAM tag = 0;
    };

    std::shared_ptr<State> state;
};
