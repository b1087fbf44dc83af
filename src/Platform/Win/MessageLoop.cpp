#include "Platform/Win/MessageLoop.h"

#include "Platform/Win/Clock.h"
#include "Platform/Win/WindowTable.h"

#include <algorithm>

namespace Platform {

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
    auto queue = MessageQueue::ForCurrentThread();
    while (!queue->Peek(*message, window, first, last, true))
        queue->Wait(-1);
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT flags)
{
    return MessageQueue::ForCurrentThread()->Peek(*message, window, first, last, flags & PM_REMOVE) ? TRUE : FALSE;
}

LRESULT DispatchMessageW(const MSG* message)
{
    if (!message || !message->hwnd)
        return 0;
    auto window = WindowTable::Instance().Find(message->hwnd);
    if (!window || !window->queue->IsOwnerThread() || !window->procedure)
        return 0;
    return window->procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;
}

BOOL WaitMessageTimeout(DWORD timeoutMs)
{
    auto queue = MessageQueue::ForCurrentThread();
    const std::uint64_t deadline = GetTickCount64() + timeoutMs;
    MSG probe;
    // A wake may be left over from messages already taken, so one wait is not enough.
    while (!queue->Peek(probe, nullptr, 0, 0, false)) {
        if (timeoutMs == INFINITE) {
            queue->Wait(-1);
            continue;
        }
        const std::uint64_t now = GetTickCount64();
        if (now >= deadline)
            return FALSE;
        queue->Wait(static_cast<int>(std::min<std::uint64_t>(deadline - now, 0x7FFFFFFF)));
    }
    return TRUE;
}

} // namespace Platform
