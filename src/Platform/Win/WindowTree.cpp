#include "Platform/Win/WindowTree.h"

namespace Platform {

std::shared_ptr<WindowObject> FindWindowObject(HWND handle)
{
    return handle ? WindowTable::Instance().Find(handle) : nullptr;
}

std::shared_ptr<WindowObject> OwnedWindow(HWND handle)
{
    auto window = FindWindowObject(handle);
    if (!window || !window->queue->IsOwnerThread())
        return nullptr;
    return window;
}

std::shared_ptr<WindowObject> TopLevelOf(const std::shared_ptr<WindowObject>& window)
{
    auto top = window;
    while (top && top->parent) {
        auto parent = FindWindowObject(top->parent);
        if (!parent)
            break;
        top = parent;
    }
    return top;
}

POINT WindowOrigin(const WindowObject& window)
{
    POINT origin{window.rect.left, window.rect.top};
    if (auto parent = FindWindowObject(window.parent)) {
        const POINT parentClient = ClientOrigin(*parent);
        origin.x += parentClient.x;
        origin.y += parentClient.y;
    }
    return origin;
}

POINT ClientOrigin(const WindowObject& window)
{
    const POINT origin = WindowOrigin(window);
    return POINT{origin.x + window.client.left, origin.y + window.client.top};
}

POINT SurfaceOffset(const WindowObject& window)
{
    const POINT origin = WindowOrigin(window);
    POINT top = origin;
    for (auto parent = FindWindowObject(window.parent); parent; parent = FindWindowObject(parent->parent))
        top = POINT{parent->rect.left, parent->rect.top};
    if (!window.parent)
        return POINT{0, 0};
    return POINT{origin.x - top.x, origin.y - top.y};
}

RECT ClientArea(const WindowObject& window)
{
    return RECT{0, 0, window.client.right - window.client.left, window.client.bottom - window.client.top};
}

bool IsShown(const WindowObject& window)
{
    if (!(window.style & WS_VISIBLE))
        return false;
    auto parent = FindWindowObject(window.parent);
    return !window.parent || (parent && IsShown(*parent));
}

bool VisitTree(const std::shared_ptr<WindowObject>& window,
               const std::function<bool(const std::shared_ptr<WindowObject>&)>& visit)
{
    if (visit(window))
        return true;
    const std::vector<HWND> children = window->children;
    for (HWND child : children)
        if (auto childWindow = FindWindowObject(child); childWindow && VisitTree(childWindow, visit))
            return true;
    return false;
}

} // namespace Platform
