#include "Platform/Win/MessageQueue.h"

#include "Platform/Win/Backend.h"
#include "Platform/Win/Clock.h"

#include <future>

namespace Platform {

struct MessageQueue::SentCall {
    std::function<void()> call;
    std::promise<bool> ran;
};

namespace {

// Closes the thread's queue when the thread ends, so that senders stop waiting.
struct ThreadQueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~ThreadQueueHolder()
    {
        if (queue)
            queue->Close();
    }
};

thread_local ThreadQueueHolder threadQueue;

bool PassesFilter(const MSG& message, HWND window, UINT first, UINT last)
{
    if (window && message.hwnd != window)
        return false;
    if (first == 0 && last == 0)
        return true;
    return message.message >= first && message.message <= last;
}

} // namespace

MessageQueue::MessageQueue() : owner(std::this_thread::get_id()), waiter(CurrentBackend().CreateWaiter()) {}

MessageQueue::~MessageQueue()
{
    Close();
}

std::shared_ptr<MessageQueue> MessageQueue::ForCurrentThread()
{
    if (!threadQueue.queue)
        threadQueue.queue = std::make_shared<MessageQueue>();
    return threadQueue.queue;
}

bool MessageQueue::Post(const MSG& message)
{
    {
        std::lock_guard guard(lock);
        if (closed)
            return false;
        posted.push_back(message);
        posted.back().time = GetTickCount();
    }
    waiter->Wake();
    return true;
}

bool MessageQueue::Invoke(const std::function<void()>& call)
{
    if (IsOwnerThread()) {
        call();
        return true;
    }
    auto item = std::make_shared<SentCall>();
    item->call = call;
    std::future<bool> ran = item->ran.get_future();
    {
        std::lock_guard guard(lock);
        if (closed)
            return false;
        sent.push_back(item);
    }
    waiter->Wake();
    // A sender that owns a queue itself keeps serving calls sent to it while it waits,
    // so two threads sending to each other do not block for ever.
    const std::shared_ptr<MessageQueue> own = threadQueue.queue;
    while (ran.wait_for(std::chrono::milliseconds(own ? 2 : 50)) != std::future_status::ready) {
        if (own)
            own->RunSentCalls();
    }
    return ran.get();
}

bool MessageQueue::PostInput(const RawInput& event)
{
    {
        std::lock_guard guard(lock);
        if (closed)
            return false;
        input.push_back(event);
    }
    waiter->Wake();
    return true;
}

bool MessageQueue::TakeInput(RawInput& out)
{
    std::lock_guard guard(lock);
    if (input.empty())
        return false;
    out = input.front();
    input.pop_front();
    return true;
}

void MessageQueue::PostQuit(int exitCode)
{
    {
        std::lock_guard guard(lock);
        quitPosted = true;
        quitCode = exitCode;
    }
    waiter->Wake();
}

void MessageQueue::RunSentCalls()
{
    for (;;) {
        std::shared_ptr<SentCall> next;
        {
            std::lock_guard guard(lock);
            if (sent.empty())
                return;
            next = std::move(sent.front());
            sent.pop_front();
        }
        next->call();
        next->ran.set_value(true);
    }
}

bool MessageQueue::Peek(MSG& out, HWND window, UINT first, UINT last, bool remove)
{
    RunSentCalls();
    std::lock_guard guard(lock);
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!PassesFilter(*it, window, first, last))
            continue;
        out = *it;
        if (remove)
            posted.erase(it);
        return true;
    }
    if (quitPosted && posted.empty()) {
        out = MSG{};
        out.message = WM_QUIT;
        out.wParam = static_cast<WPARAM>(quitCode);
        out.time = GetTickCount();
        if (remove)
            quitPosted = false;
        return true;
    }
    return false;
}

void MessageQueue::Wait(int timeoutMs)
{
    {
        std::lock_guard guard(lock);
        if (!posted.empty() || !sent.empty() || !input.empty() || quitPosted)
            return;
    }
    waiter->Wait(timeoutMs);
}

void MessageQueue::Close()
{
    std::deque<std::shared_ptr<SentCall>> abandoned;
    {
        std::lock_guard guard(lock);
        closed = true;
        posted.clear();
        input.clear();
        abandoned.swap(sent);
    }
    for (auto& item : abandoned)
        item->ran.set_value(false);
}

} // namespace Platform
