#pragma once
// Windows: classes, creation and destruction, procedures, geometry and texts.

#include "Platform/Win/WinTypes.h"

#include <string>

namespace Platform {

ATOM RegisterClassW(const WNDCLASSW* windowClass);
BOOL UnregisterClassW(const wchar_t* className, HINSTANCE instance);

// x, y, width and height are in the parent's client area (on the screen for a
// top-level window). Sends WM_NCCREATE and WM_CREATE; a window whose WM_CREATE
// answers -1 is destroyed again and null is returned.
HWND CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, std::uint32_t style,
                     int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
// Sends WM_DESTROY to the window and then to its children, then WM_NCDESTROY to each;
// the handles are dead afterwards. Only the owning thread may destroy a window.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);

HWND GetParent(HWND window);
std::uint32_t GetWindowStyle(HWND window);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL SetWindowTextW(HWND window, const wchar_t* text);
std::wstring GetWindowTextW(HWND window);

int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

} // namespace Platform
