#pragma once
// Screen metrics, the one monitor and its work area, and window centring.

#include "Platform/Win/WinTypes.h"

namespace Platform {

int GetSystemMetrics(int index);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info);
// The work area of the monitor nearest the window.
RECT WorkAreaOf(HWND window);
// Centres the window over its owner when the owner is visible (inside the owner's
// monitor's work area), else in the work area; moves without resizing, activating
// or changing the z-order.
void CenterWindow(HWND window);

} // namespace Platform
