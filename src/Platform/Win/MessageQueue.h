#pragma once
// One thread's message queue: messages posted to its windows, calls sent to it from
// other threads, and its quit request. Any thread may post or send; only the owning
// thread takes messages out and runs the sent calls.

#include "Platform/Win/RawInput.h"
#include "Platform/Win/Waiter.h"
#include "Platform/Win/WinTypes.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace Platform {

class MessageQueue {
public:
    MessageQueue();
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // The calling thread's queue, created on first use and closed when the thread ends.
    static std::shared_ptr<MessageQueue> ForCurrentThread();

    // Any thread. False when the queue is closed.
    bool Post(const MSG& message);
    // Runs call on the owning thread and returns when it has run: directly on the
    // owning thread, otherwise the next time that thread looks at its queue. False
    // (call not run) when the queue is or becomes closed.
    bool Invoke(const std::function<void()>& call);
    bool IsOwnerThread() const { return std::this_thread::get_id() == owner; }
    // Any thread: input for the windows of this thread, routed when the owner takes it.
    bool PostInput(const RawInput& input);

    // Owning thread only.
    void PostQuit(int exitCode);
    // Runs pending sent calls, then finds the first posted message that passes the
    // filter (a null window and a 0..0 range take everything). WM_QUIT comes once
    // nothing else is posted.
    bool Peek(MSG& out, HWND window, UINT first, UINT last, bool remove);
    bool TakeInput(RawInput& out);
    // Sleeps until something is posted, sent or input, or timeoutMs passes (negative: no limit).
    void Wait(int timeoutMs);
    // Ends the queue: later posts fail and callers still waiting on sent calls return.
    void Close();

private:
    struct SentCall;
    void RunSentCalls();

    const std::thread::id owner;
    std::unique_ptr<Waiter> waiter;
    std::mutex lock;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentCall>> sent;
    std::deque<RawInput> input;
    bool quitPosted = false;
    int quitCode = 0;
    bool closed = false;
};

} // namespace Platform
