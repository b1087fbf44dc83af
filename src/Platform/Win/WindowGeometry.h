#pragma once
// Window places, sizes and visibility.

#include "Platform/Win/WinTypes.h"

namespace Platform {

// Sends WM_MOVE and WM_SIZE when the place or the size changes.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// insertAfter: HWND_TOP, HWND_TOPMOST or HWND_NOTOPMOST; flags SWP_*.
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL GetClientRect(HWND window, RECT* rect);
// On the screen.
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
// SW_HIDE, SW_SHOW, SW_SHOWNORMAL, SW_SHOWNOACTIVATE, SW_SHOWMAXIMIZED (the work area,
// or what WM_GETMINMAXINFO says) and SW_RESTORE. Returns whether it was visible.
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
// Gives the calling thread's top-level windows new surfaces when the backend's device
// scale is not theirs any more, repaints them whole at the new scale and sends each
// window of their trees WM_DPICHANGED_AFTERPARENT.
void FollowDeviceScale();

} // namespace Platform
