#pragma once
// Invalidation and painting. Invalid areas are merged per window; WM_PAINT is
// generated when the thread's queue is otherwise empty, parents before children.

#include "Platform/Win/WinTypes.h"

namespace Platform {

// rect in client coordinates; null: the whole client area. Children are invalidated
// with their parent where the parent does not clip them (no WS_CLIPCHILDREN).
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
// Sends WM_PAINT at once when the window has something to paint.
BOOL UpdateWindow(HWND window);

// The DC is clipped to the invalid area (and to the client area without the visible
// children when the window has WS_CLIPCHILDREN); the area counts as painted.
// WM_ERASEBKGND is sent first when an invalidation asked for erasing.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// A DC over the client area, or over the whole window (frame included).
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

} // namespace Platform
