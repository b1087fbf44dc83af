#include "Platform/Win/Reflection.h"

#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

namespace Platform {
namespace {

HWND NotifyingChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY:
        return LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY ? reinterpret_cast<HWND>(lParam) : nullptr;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
        return GetDlgItem(parent, static_cast<int>(wParam));
    default:
        return message >= 0x0132 && message <= 0x0138 ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
}

} // namespace

bool ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const HWND child = NotifyingChild(parent, message, wParam, lParam);
    if (!child || !IsChild(parent, child))
        return false;
    result = SendMessageW(child, OCM_BASE + message, wParam, lParam);
    return true;
}

} // namespace Platform
