#include "Platform/Win/Window.h"

#include "Platform/Win/Backend.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/WindowTable.h"

#include <algorithm>
#include <utility>

namespace Platform {
namespace {

// The window, when it exists and the calling thread owns it.
std::shared_ptr<WindowObject> OwnedWindow(HWND handle)
{
    auto window = WindowTable::Instance().Find(handle);
    if (!window || !window->queue->IsOwnerThread())
        return nullptr;
    return window;
}

void CollectForDestruction(const std::shared_ptr<WindowObject>& window,
                           std::vector<std::shared_ptr<WindowObject>>& order)
{
    window->destroying = true;
    order.push_back(window);
    for (HWND child : window->children)
        if (auto childWindow = WindowTable::Instance().Find(child))
            CollectForDestruction(childWindow, order);
}

} // namespace

ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc)
        return 0;
    WindowClass entry{windowClass->lpszClassName, windowClass->style, windowClass->lpfnWndProc};
    if (!WindowTable::Instance().RegisterClass(entry))
        return 0;
    return static_cast<ATOM>(0xC000 | (std::hash<std::wstring>{}(entry.name) & 0x3FFF));
}

BOOL UnregisterClassW(const wchar_t* className, HINSTANCE)
{
    return className && WindowTable::Instance().UnregisterClass(className) ? TRUE : FALSE;
}

HWND CreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, std::uint32_t style,
                     int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param)
{
    auto windowClass = className ? WindowTable::Instance().FindClass(className) : nullptr;
    if (!windowClass)
        return nullptr;
    std::shared_ptr<WindowObject> parentWindow;
    if (parent && !(parentWindow = OwnedWindow(parent)))
        return nullptr;

    auto window = std::make_shared<WindowObject>();
    window->queue = MessageQueue::ForCurrentThread();
    window->windowClass = windowClass;
    window->procedure = windowClass->procedure;
    window->style = style;
    window->exStyle = exStyle;
    window->parent = parent;
    window->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    window->text = windowName ? windowName : L"";
    WindowTable::Instance().Add(window);
    if (parentWindow)
        parentWindow->children.push_back(window->handle);

    CREATESTRUCTW create;
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cx = width;
    create.cy = height;
    create.x = x;
    create.y = y;
    create.style = static_cast<std::int32_t>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    const HWND handle = window->handle;
    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    if (!SendMessageW(handle, WM_NCCREATE, 0, createParam) || SendMessageW(handle, WM_CREATE, 0, createParam) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    return handle;
}

BOOL DestroyWindow(HWND handle)
{
    auto window = OwnedWindow(handle);
    if (!window || window->destroying)
        return FALSE;
    std::vector<std::shared_ptr<WindowObject>> order;
    CollectForDestruction(window, order);
    for (auto& each : order)
        SendMessageW(each->handle, WM_DESTROY, 0, 0);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        SendMessageW((*it)->handle, WM_NCDESTROY, 0, 0);
        WindowTable::Instance().Remove((*it)->handle);
    }
    if (auto parentWindow = WindowTable::Instance().Find(window->parent))
        std::erase(parentWindow->children, handle);
    return TRUE;
}

BOOL IsWindow(HWND handle)
{
    return WindowTable::Instance().Find(handle) ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return 0;
    }
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index)
{
    auto window = WindowTable::Instance().Find(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWLP_USERDATA:
        return window->userData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWLP_USERDATA:
        return std::exchange(window->userData, value);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(std::exchange(window->procedure, reinterpret_cast<WNDPROC>(value)));
    default:
        return 0;
    }
}

HWND GetParent(HWND handle)
{
    auto window = WindowTable::Instance().Find(handle);
    return window ? window->parent : nullptr;
}

std::uint32_t GetWindowStyle(HWND handle)
{
    auto window = WindowTable::Instance().Find(handle);
    return window ? window->style : 0;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    const RECT old = window->rect;
    window->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    if (old.left != window->rect.left || old.top != window->rect.top)
        SendMessageW(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    if (old.right - old.left != window->rect.right - window->rect.left ||
        old.bottom - old.top != window->rect.bottom - window->rect.top)
        SendMessageW(handle, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(window->rect.right - window->rect.left, window->rect.bottom - window->rect.top));
    return TRUE;
}

BOOL GetClientRect(HWND handle, RECT* rect)
{
    auto window = WindowTable::Instance().Find(handle);
    if (!window || !rect)
        return FALSE;
    *rect = RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND handle, RECT* rect)
{
    auto window = WindowTable::Instance().Find(handle);
    if (!window || !rect)
        return FALSE;
    RECT screen = window->rect;
    for (auto parent = WindowTable::Instance().Find(window->parent); parent;
         parent = WindowTable::Instance().Find(parent->parent)) {
        screen.left += parent->rect.left;
        screen.right += parent->rect.left;
        screen.top += parent->rect.top;
        screen.bottom += parent->rect.top;
    }
    *rect = screen;
    return TRUE;
}

BOOL ShowWindow(HWND handle, int command)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    const bool wasVisible = window->style & WS_VISIBLE;
    const bool show = command != SW_HIDE;
    if (show)
        window->style |= WS_VISIBLE;
    else
        window->style &= ~WS_VISIBLE;
    if (wasVisible != show)
        SendMessageW(handle, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle)
{
    for (auto window = WindowTable::Instance().Find(handle); window;
         window = WindowTable::Instance().Find(window->parent)) {
        if (!(window->style & WS_VISIBLE))
            return FALSE;
        if (!window->parent)
            return TRUE;
    }
    return FALSE;
}

BOOL SetWindowTextW(HWND handle, const wchar_t* text)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    window->text = text ? text : L"";
    return TRUE;
}

std::wstring GetWindowTextW(HWND handle)
{
    auto window = WindowTable::Instance().Find(handle);
    return window ? window->text : std::wstring();
}

int MessageBoxW(HWND, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return CurrentBackend().ShowMessageBox(text ? text : L"", caption ? caption : L"", type);
}

} // namespace Platform
