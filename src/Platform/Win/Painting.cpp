#include "Platform/Win/Painting.h"

#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Win/Backend.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/PaintScheduler.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/WindowTree.h"

namespace Platform {
namespace {

void InvalidateChildren(WindowObject& window, const Region& area, bool erase)
{
    if (window.style & WS_CLIPCHILDREN)
        return;
    for (HWND child : window.children) {
        auto childWindow = FindWindowObject(child);
        if (!childWindow || !(childWindow->style & WS_VISIBLE))
            continue;
        Region part = area;
        part.Intersect(childWindow->rect);
        if (part.IsEmpty())
            continue;
        part.Offset(-childWindow->rect.left - childWindow->client.left,
                    -childWindow->rect.top - childWindow->client.top);
        part.Intersect(ClientArea(*childWindow));
        childWindow->update.Add(part);
        childWindow->erase = childWindow->erase || erase;
        childWindow->frameDirty = true;
        InvalidateChildren(*childWindow, part, erase);
    }
}

// The part of the window's client area that its DCs may draw on, in client coordinates.
Region VisibleClientArea(const WindowObject& window)
{
    Region area(ClientArea(window));
    if (window.style & WS_CLIPCHILDREN)
        for (HWND child : window.children)
            if (auto childWindow = FindWindowObject(child); childWindow && (childWindow->style & WS_VISIBLE))
                area.Subtract(childWindow->rect);
    // Clip to the ancestors' client areas as well.
    POINT offset{window.client.left + window.rect.left, window.client.top + window.rect.top};
    for (auto parent = FindWindowObject(window.parent); parent; parent = FindWindowObject(parent->parent)) {
        Region parentArea(ClientArea(*parent));
        parentArea.Offset(-offset.x, -offset.y);
        area.Intersect(parentArea);
        offset.x += parent->client.left + parent->rect.left;
        offset.y += parent->client.top + parent->rect.top;
    }
    return area;
}

HDC MakeDC(const std::shared_ptr<WindowObject>& window, const Region& clientClip, bool wholeWindow)
{
    auto top = TopLevelOf(window);
    if (!top || !top->surface)
        return nullptr;
    const POINT offset = SurfaceOffset(*window);
    const POINT origin = wholeWindow ? offset : POINT{offset.x + window->client.left, offset.y + window->client.top};
    Region clip = clientClip;
    clip.Offset(origin.x, origin.y);
    return CreateSurfaceDC(top->surface, origin, clip, window->handle);
}

void PresentDC(HWND handle, HDC dc)
{
    RECT dirty;
    if (!TakeSurfaceDirtyRect(dc, &dirty))
        return;
    auto window = FindWindowObject(handle);
    auto top = window ? TopLevelOf(window) : nullptr;
    if (top && IsShown(*top) && top->surface)
        CurrentBackend().Present(top->handle, top->surface->ToDevice(dirty));
}

} // namespace

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    Region area(ClientArea(*window));
    if (rect)
        area.Intersect(*rect);
    window->update.Add(area);
    window->erase = window->erase || erase;
    InvalidateChildren(*window, area, erase);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    if (rect)
        window->update.Subtract(*rect);
    else
        window->update.Clear();
    if (window->update.IsEmpty())
        window->erase = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND handle, RECT* rect, BOOL)
{
    auto window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    if (rect)
        *rect = window->update.Bounds();
    return window->update.IsEmpty() ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND handle)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return FALSE;
    if (window->frameDirty) {
        window->frameDirty = false;
        SendMessageW(handle, WM_NCPAINT, 1, 0);
    }
    if (!window->update.IsEmpty() && IsShown(*window))
        SendMessageW(handle, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint)
{
    auto window = OwnedWindow(handle);
    if (!window || !paint)
        return nullptr;
    Region clip = VisibleClientArea(*window);
    clip.Intersect(window->update);
    const bool erase = window->erase;
    window->update.Clear();
    window->erase = false;
    HDC dc = MakeDC(window, clip, false);
    paint->hdc = dc;
    paint->rcPaint = clip.Bounds();
    paint->fErase = erase ? TRUE : FALSE;
    if (dc && erase)
        paint->fErase = SendMessageW(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint)
{
    if (!paint)
        return FALSE;
    ReleaseDC(handle, paint->hdc);
    return TRUE;
}

HDC GetDC(HWND handle)
{
    auto window = OwnedWindow(handle);
    return window ? MakeDC(window, VisibleClientArea(*window), false) : nullptr;
}

HDC GetWindowDC(HWND handle)
{
    auto window = OwnedWindow(handle);
    if (!window)
        return nullptr;
    const RECT whole{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return MakeDC(window, Region(whole), true);
}

int ReleaseDC(HWND handle, HDC dc)
{
    if (!dc)
        return 0;
    PresentDC(handle, dc);
    return DeleteSurfaceDC(dc) ? 1 : 0;
}

bool NextPaintMessage(MSG& out, HWND filter)
{
    auto queue = MessageQueue::ForCurrentThread();
    const std::vector<HWND> tops = WindowTable::Instance().TopLevels();
    std::shared_ptr<WindowObject> found;
    auto needsPaint = [&](const std::shared_ptr<WindowObject>& window) {
        if (!(window->style & WS_VISIBLE))
            return false;
        if (window->frameDirty) {
            window->frameDirty = false;
            SendMessageW(window->handle, WM_NCPAINT, 1, 0);
        }
        if (window->update.IsEmpty() || (filter && window->handle != filter))
            return false;
        found = window;
        return true;
    };
    for (auto it = tops.rbegin(); it != tops.rend() && !found; ++it) {
        auto top = FindWindowObject(*it);
        if (top && top->queue == queue && (top->style & WS_VISIBLE))
            VisitTree(top, [&](const std::shared_ptr<WindowObject>& window) {
                return IsShown(*window) && needsPaint(window);
            });
    }
    if (!found)
        return false;
    out = MSG{};
    out.hwnd = found->handle;
    out.message = WM_PAINT;
    return true;
}

} // namespace Platform
