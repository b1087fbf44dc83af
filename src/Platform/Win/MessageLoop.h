#pragma once
// Sending, posting and taking messages.

#include "Platform/Win/WinTypes.h"

#include <cstdint>
#include <functional>

namespace Platform {

// On the window's thread the procedure runs at once; from another thread the call
// waits until the window's thread has run it. 0 for a dead window.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Any thread; FALSE for a dead window. Messages for a window destroyed before they
// are taken are dropped.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// The calling thread's queue. Messages come in this order: calls sent from other
// threads, posted messages (input is routed into them when none are left), WM_QUIT,
// WM_PAINT for windows with invalid areas, due timers, mouse hover.
// GetMessageW waits and returns 0 for WM_QUIT.
BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last);
// Work for the calling thread's loops to do whenever they have nothing to dispatch:
// every unfiltered GetMessageW, in nested modal and capture loops as well, calls the
// hook before it waits, so work that feeds the thread input (a script driving the
// windows) goes on whichever loop runs. The hook returns how long the wait may last
// in milliseconds (INFINITE: no limit of its own); it may post, inject input or run
// a nested loop itself. An empty hook removes it.
using IdleHook = std::function<DWORD()>;
void SetIdleHook(IdleHook hook);
// The longest time, in microseconds of real time, that the calling thread took from
// being handed a message by GetMessageW to asking for the next one (or entering a
// nested loop): how long input could wait on it. The idle hook is not counted.
std::int64_t LongestBusyMicroseconds();
BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT flags);
LRESULT DispatchMessageW(const MSG* message);
// Characters are produced when key input is routed, so this has nothing to add.
BOOL TranslateMessage(const MSG* message);
// Waits until the calling thread's queue has something or timeoutMs passes
// (INFINITE: no limit); TRUE when something is there. The timeout is measured in
// real time even while tests run the manual clock, so a wait never hangs on a clock
// that stands still; timers and hover, on the other hand, follow the window-system
// clock and fire only when it has advanced.
BOOL WaitMessageTimeout(DWORD timeoutMs);

} // namespace Platform
