#pragma once
// Windows: classes, creation and destruction, procedures, relations and texts.

#include "Platform/Win/WinTypes.h"

#include <string>

namespace Platform {

ATOM RegisterClassW(const WNDCLASSW* windowClass);
// The class's procedure, for superclassing: a new class whose procedure handles some
// messages and passes the rest to the base class's procedure.
WNDPROC GetClassProcedure(const wchar_t* className);

// x, y, width and height are in the parent's client area (on the screen for a
// top-level window); CW_USEDEFAULT gives (0, 0) and a size of 0 x 0. For a window
// without WS_CHILD the parent argument is its owner. Sends WM_NCCREATE,
// WM_NCCALCSIZE, WM_CREATE and then WM_SIZE; a window whose WM_CREATE answers -1 is
// destroyed again and null is returned.
HWND CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, std::uint32_t style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
// Destroys the windows it owns, then sends WM_DESTROY to the window and its children
// and WM_NCDESTROY to each; the handles are dead afterwards. Only the owning thread
// may destroy a window.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsChild(HWND parent, HWND window);

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);

// The parent of a child window, the owner of a top-level one.
HWND GetParent(HWND window);
HWND GetWindow(HWND window, UINT relation);
HWND GetDlgItem(HWND dialog, int id);
std::uint32_t GetWindowStyle(HWND window);
BOOL SetWindowTextW(HWND window, const wchar_t* text);
std::wstring GetWindowTextW(HWND window);
// The name of the window's class; empty for a dead window.
std::wstring GetClassNameW(HWND window);
// Calls enumerate for every top-level window, front first, until it returns FALSE.
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumWindows(WNDENUMPROC enumerate, LPARAM lParam);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

} // namespace Platform

#include "Platform/Win/WindowGeometry.h"
