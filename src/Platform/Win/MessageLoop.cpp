#include "Platform/Win/MessageLoop.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/InputRouter.h"
#include "Platform/Win/PaintScheduler.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Timer.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowTree.h"

#include <algorithm>
#include <chrono>
#include <memory>

namespace Platform {
namespace {

// The calling thread's idle hook (SetIdleHook).
thread_local std::shared_ptr<IdleHook> idleHook;

// When GetMessageW last handed the calling thread a message, and the longest time the
// thread then took to ask for the next one (LongestBusyMicroseconds).
thread_local std::chrono::steady_clock::time_point messageTaken{};
thread_local std::int64_t longestBusy = 0;

void NoteBusyEnds()
{
    if (messageTaken == std::chrono::steady_clock::time_point{})
        return;
    const auto busy = std::chrono::steady_clock::now() - messageTaken;
    longestBusy =
        std::max<std::int64_t>(longestBusy, std::chrono::duration_cast<std::chrono::microseconds>(busy).count());
    messageTaken = {};
}

// Runs the idle hook; the wait limit it asks for, or -1 for none.
std::int64_t RunIdleHook()
{
    // Held for the call: the hook may replace itself while it runs.
    const std::shared_ptr<IdleHook> hook = idleHook;
    if (!hook)
        return -1;
    const DWORD limit = (*hook)();
    return limit == INFINITE ? -1 : static_cast<std::int64_t>(limit);
}

bool InRange(UINT message, UINT first, UINT last)
{
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool NextMessage(MSG& out, HWND filter, UINT first, UINT last, bool remove)
{
    auto queue = MessageQueue::ForCurrentThread();
    for (;;) {
        if (queue->Peek(out, filter, first, last, remove))
            return true;
        RawInput input;
        if (!queue->TakeInput(input))
            break;
        RouteInput(input);
    }
    if (InRange(WM_PAINT, first, last) && NextPaintMessage(out, filter)) {
        out.time = GetTickCount();
        return true;
    }
    if (InRange(WM_TIMER, first, last) && NextTimerMessage(out, filter, remove))
        return true;
    return InRange(WM_MOUSEHOVER, first, last) && NextHoverMessage(out, remove);
}

// How long a wait may sleep: until the caller's limit, the next timer or the next hover.
int WaitLimit(std::int64_t requested)
{
    std::int64_t limit = requested;
    for (std::int64_t due : {MillisecondsUntilTimer(), MillisecondsUntilHover()})
        if (due >= 0 && (limit < 0 || due < limit))
            limit = due;
    return static_cast<int>(std::min<std::int64_t>(limit, 0x7FFFFFFF));
}

} // namespace

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto window = WindowTable::Instance().Find(handle);
    if (!window)
        return 0;
    LRESULT result = 0;
    window->queue->Invoke([&] {
        // The window may have gone while the call waited in its queue.
        if (WindowTable::Instance().Find(handle) && window->procedure)
            result = window->procedure(handle, message, wParam, lParam);
    });
    return result;
}

BOOL PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto window = WindowTable::Instance().Find(handle);
    if (!window)
        return FALSE;
    MSG posted;
    posted.hwnd = handle;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    return window->queue->Post(posted) ? TRUE : FALSE;
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(handle, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    MessageQueue::ForCurrentThread()->PostQuit(exitCode);
}

BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last)
{
    NoteBusyEnds();
    auto queue = MessageQueue::ForCurrentThread();
    const bool unfiltered = !window && first == 0 && last == 0;
    while (!NextMessage(*message, window, first, last, true)) {
        const std::int64_t idleLimit = unfiltered ? RunIdleHook() : -1;
        if (NextMessage(*message, window, first, last, true))
            break;
        queue->Wait(WaitLimit(idleLimit));
    }
    messageTaken = std::chrono::steady_clock::now();
    return message->message == WM_QUIT ? FALSE : TRUE;
}

std::int64_t LongestBusyMicroseconds()
{
    return longestBusy;
}

void SetIdleHook(IdleHook hook)
{
    idleHook = hook ? std::make_shared<IdleHook>(std::move(hook)) : nullptr;
}

BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT flags)
{
    return NextMessage(*message, window, first, last, flags & PM_REMOVE) ? TRUE : FALSE;
}

LRESULT DispatchMessageW(const MSG* message)
{
    if (!message)
        return 0;
    if (message->message == WM_TIMER && message->lParam) {
        reinterpret_cast<TIMERPROC>(message->lParam)(message->hwnd, WM_TIMER, message->wParam, message->time);
        return 0;
    }
    if (!message->hwnd)
        return 0;
    auto window = WindowTable::Instance().Find(message->hwnd);
    if (!window || !window->queue->IsOwnerThread() || !window->procedure)
        return 0;
    if (message->message != WM_PAINT)
        return window->procedure(message->hwnd, message->message, message->wParam, message->lParam);
    // A paint handler that never calls BeginPaint must not make the loop spin.
    const RECT before = window->update.Bounds();
    const LRESULT result = window->procedure(message->hwnd, WM_PAINT, 0, 0);
    if (IsWindow(message->hwnd) && !window->update.IsEmpty() && window->update.Bounds() == before)
        ValidateRect(message->hwnd, nullptr);
    return result;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;
}

BOOL WaitMessageTimeout(DWORD timeoutMs)
{
    using Steady = std::chrono::steady_clock;
    auto queue = MessageQueue::ForCurrentThread();
    const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs);
    MSG probe;
    // A wake may be left over from messages already taken, so one wait is not enough.
    while (!NextMessage(probe, nullptr, 0, 0, false)) {
        if (timeoutMs == INFINITE) {
            queue->Wait(WaitLimit(-1));
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now()).count();
        if (left <= 0)
            return FALSE;
        queue->Wait(WaitLimit(left));
    }
    return TRUE;
}

} // namespace Platform
