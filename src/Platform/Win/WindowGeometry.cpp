#include "Platform/Win/WindowGeometry.h"

#include "Platform/Win/Backend.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/ThreadState.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WindowTree.h"

#include <algorithm>
#include <vector>

namespace Platform {
namespace {

int Width(const RECT& rect)
{
    return rect.right - rect.left;
}
int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

void ReportToBackend(const WindowObject& window)
{
    if (!window.parent)
        CurrentBackend().WindowChanged(window.handle, window.rect, window.style & WS_VISIBLE, window.surface);
}

// Marks where a child window was as needing paint in its parent.
void ExposeInParent(const WindowObject& window)
{
    if (window.parent && IsShown(window))
        InvalidateRect(window.parent, &window.rect, TRUE);
}

void InvalidateWhole(WindowObject& window)
{
    window.frameDirty = true;
    const RECT client = ClientArea(window);
    InvalidateRect(window.handle, &client, TRUE);
}

// A top-level window's new size is what the backend allows.
RECT FitToBackend(const WindowObject& window, const RECT& rect)
{
    if (window.parent || (Width(rect) == Width(window.rect) && Height(rect) == Height(window.rect)))
        return rect;
    const SIZE fitted = CurrentBackend().FitTopLevel(window.handle, SIZE{Width(rect), Height(rect)});
    return RECT{rect.left, rect.top, rect.left + fitted.cx, rect.top + fitted.cy};
}

void ApplyRect(const std::shared_ptr<WindowObject>& window, const RECT& requested, WPARAM sizeKind)
{
    const RECT rect = FitToBackend(*window, requested);
    const RECT old = window->rect;
    if (old == rect)
        return;
    ExposeInParent(*window);
    window->rect = rect;
    RecalculateFrame(window->handle);
    const bool sized = Width(old) != Width(rect) || Height(old) != Height(rect);
    if (sized && window->surface) {
        auto surface =
            std::make_shared<Surface>(Width(rect), Height(rect), 0xFFFFFFFFu, CurrentBackend().DeviceScale());
        surface->CopyFrom(*window->surface, 0, 0);
        window->surface = surface;
    }
    if (sized || window->parent)
        InvalidateWhole(*window);
    ReportToBackend(*window);
    const RECT client = ClientArea(*window);
    if (old.left != rect.left || old.top != rect.top)
        SendMessageW(window->handle, WM_MOVE, 0,
                     MAKELPARAM(rect.left + window->client.left, rect.top + window->client.top));
    if (sized)
        SendMessageW(window->handle, WM_SIZE, sizeKind, MAKELPARAM(client.right, client.bottom));
}

void RaiseWindow(const std::shared_ptr<WindowObject>& window, HWND insertAfter)
{
    if (window->parent) {
        if (auto parent = FindWindowObject(window->parent)) {
            std::erase(parent->children, window->handle);
            parent->children.push_back(window->handle);
        }
        return;
    }
    if (insertAfter == HWND_TOPMOST)
        window->exStyle |= WS_EX_TOPMOST;
    WindowTable::Instance().BringToFront(window->handle, insertAfter == HWND_TOPMOST);
}

RECT MaximizedRect(HWND handle)
{
    const RECT work = WorkAreaOf(handle);
    MINMAXINFO info;
    info.ptMaxSize = POINT{Width(work), Height(work)};
    info.ptMaxPosition = POINT{work.left, work.top};
    info.ptMaxTrackSize = info.ptMaxSize;
    SendMessageW(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return RECT{info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxPosition.x + info.ptMaxSize.x,
                info.ptMaxPosition.y + info.ptMaxSize.y};
}

void Hide(const std::shared_ptr<WindowObject>& window)
{
    ExposeInParent(*window);
    window->style &= ~WS_VISIBLE;
    ReportToBackend(*window);
    ThreadState& state = ThreadState::Current();
    if (state.focus == window->handle || IsChild(window->handle, state.focus))
        SetFocus(window->parent);
    if (state.capture == window->handle)
        ReleaseCapture();
    if (!window->parent && state.active == window->handle)
        SetActiveWindow(window->owner);
}

void Show(const std::shared_ptr<WindowObject>& window, bool activate)
{
    window->style |= WS_VISIBLE;
    ReportToBackend(*window);
    InvalidateWhole(*window);
    if (!window->parent && activate)
        SetActiveWindow(window->handle);
}

} // namespace

void RecalculateFrame(HWND handle)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return;
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = window->rect;
    SendMessageW(handle, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    const RECT& proposed = params.rgrc[0];
    const int width = Width(window->rect), height = Height(window->rect);
    const int left = std::clamp(proposed.left - window->rect.left, 0, width);
    const int top = std::clamp(proposed.top - window->rect.top, 0, height);
    window->client = RECT{left, top, std::clamp(proposed.right - window->rect.left, left, width),
                          std::clamp(proposed.bottom - window->rect.top, top, height)};
    window->frameDirty = true;
}

void FollowDeviceScale()
{
    const double scale = CurrentBackend().DeviceScale();
    for (HWND handle : WindowTable::Instance().TopLevels()) {
        auto window = OwnedWindow(handle);
        if (!window || !window->surface || window->surface->Scale() == scale)
            continue;
        // More device pixels may pass what the backend allows a window: then it shrinks,
        // and the resize makes the surface at the new scale.
        const RECT rect = window->rect;
        const SIZE fitted = CurrentBackend().FitTopLevel(handle, SIZE{Width(rect), Height(rect)});
        if (fitted.cx != Width(rect) || fitted.cy != Height(rect)) {
            ApplyRect(window, RECT{rect.left, rect.top, rect.left + fitted.cx, rect.top + fitted.cy}, SIZE_RESTORED);
        } else {
            window->surface = std::make_shared<Surface>(Width(rect), Height(rect), 0xFFFFFFFFu, scale);
            ReportToBackend(*window);
        }
        std::vector<HWND> tree;
        VisitTree(window, [&tree](const std::shared_ptr<WindowObject>& each) {
            InvalidateWhole(*each);
            tree.push_back(each->handle);
            return false;
        });
        // Windows that made pictures for the old scale make them again.
        for (HWND each : tree)
            SendMessageW(each, WM_DPICHANGED_AFTERPARENT, 0, 0);
    }
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    ApplyRect(window, RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)}, SIZE_RESTORED);
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    RECT rect = window->rect;
    if (!(flags & SWP_NOMOVE))
        rect = OffsetRectBy(rect, x - rect.left, y - rect.top);
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(width, 0);
        rect.bottom = rect.top + std::max(height, 0);
    }
    if (!(flags & SWP_NOZORDER))
        RaiseWindow(window, insertAfter);
    ApplyRect(window, rect, window->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(handle, SW_HIDE);
    else if (flags & SWP_SHOWWINDOW)
        ShowWindow(handle, flags & SWP_NOACTIVATE ? SW_SHOWNOACTIVATE : SW_SHOW);
    else if (!(flags & SWP_NOZORDER) && !(flags & SWP_NOACTIVATE) && !window->parent && IsShown(*window))
        SetActiveWindow(handle);
    return TRUE;
}

BOOL GetClientRect(HWND handle, RECT* rect)
{
    auto window = FindWindowObject(handle);
    if (!window || !rect)
        return FALSE;
    *rect = ClientArea(*window);
    return TRUE;
}

BOOL GetWindowRect(HWND handle, RECT* rect)
{
    auto window = FindWindowObject(handle);
    if (!window || !rect)
        return FALSE;
    const POINT origin = WindowOrigin(*window);
    *rect = RECT{origin.x, origin.y, origin.x + Width(window->rect), origin.y + Height(window->rect)};
    return TRUE;
}

BOOL ClientToScreen(HWND handle, POINT* point)
{
    auto window = FindWindowObject(handle);
    if (!window || !point)
        return FALSE;
    const POINT origin = ClientOrigin(*window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND handle, POINT* point)
{
    auto window = FindWindowObject(handle);
    if (!window || !point)
        return FALSE;
    const POINT origin = ClientOrigin(*window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
    POINT shift{0, 0};
    if (from)
        ClientToScreen(from, &shift);
    if (to)
        ScreenToClient(to, &shift);
    for (UINT i = 0; i < count; ++i) {
        points[i].x += shift.x;
        points[i].y += shift.y;
    }
    return MAKELPARAM(shift.x, shift.y);
}

BOOL ShowWindow(HWND handle, int command)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    const bool wasVisible = window->style & WS_VISIBLE;
    if (command == SW_HIDE) {
        if (wasVisible) {
            SendMessageW(handle, WM_SHOWWINDOW, FALSE, 0);
            Hide(window);
        }
        return wasVisible ? TRUE : FALSE;
    }
    if (command == SW_SHOWMAXIMIZED && !window->maximized) {
        window->restoreRect = window->rect;
        window->maximized = true;
        ApplyRect(window, MaximizedRect(handle), SIZE_MAXIMIZED);
    } else if (command == SW_RESTORE && window->maximized) {
        window->maximized = false;
        ApplyRect(window, window->restoreRect, SIZE_RESTORED);
    }
    if (!wasVisible) {
        SendMessageW(handle, WM_SHOWWINDOW, TRUE, 0);
        Show(window, command != SW_SHOWNOACTIVATE);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle)
{
    auto window = FindWindowObject(handle);
    return window && IsShown(*window) ? TRUE : FALSE;
}

} // namespace Platform
