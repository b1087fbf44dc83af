#pragma once
// Reflection: a parent sends a notification it received from a child control back to
// that child as message + OCM_BASE (0x2000), so the control handles its own
// notifications (WM_COMMAND arrives as 0x2111, WM_CTLCOLOREDIT as 0x2133).

#include "Platform/Win/WinTypes.h"

namespace Platform {

// True when the message is a notification from a child of parent; result is then
// what the child answered.
bool ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

} // namespace Platform
