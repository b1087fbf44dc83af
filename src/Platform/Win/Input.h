#pragma once
// Keyboard focus, activation, mouse capture and tracking, key state and cursors.

#include "Platform/Win/WinTypes.h"

namespace Platform {

// WM_KILLFOCUS to the old focus window, then WM_SETFOCUS to the new one; the new
// one's top-level window becomes active. Returns the old focus window.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
// While a window has the capture, every mouse message goes to it.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
// TME_LEAVE: WM_MOUSELEAVE once the pointer leaves the window (at once if it is not
// over it); TME_HOVER: WM_MOUSEHOVER once it rests there for dwHoverTime ms.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* request);
// Bit 15 set while the key is down.
std::int16_t GetKeyState(int virtualKey);
BOOL GetCursorPos(POINT* point);
// The deepest visible window under a screen point.
HWND WindowFromPoint(POINT point);
UINT GetDoubleClickTime();

HCURSOR LoadCursorW(HINSTANCE instance, const wchar_t* name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

} // namespace Platform
