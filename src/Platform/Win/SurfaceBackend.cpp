#include "Platform/Win/SurfaceBackend.h"

#include "Platform/Win/ConditionWaiter.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/WindowTable.h"

namespace Platform {

std::unique_ptr<Waiter> SurfaceBackend::CreateWaiter()
{
    return std::make_unique<ConditionWaiter>();
}

void SurfaceBackend::WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface)
{
    std::lock_guard guard(lock);
    windows[window] = Shown{screenRect, visible, std::move(surface)};
}

void SurfaceBackend::WindowDestroyed(HWND window)
{
    std::lock_guard guard(lock);
    windows.erase(window);
}

bool SurfaceBackend::Screenshot(HWND window, const std::string& path, const RECT* area) const
{
    std::lock_guard guard(lock);
    auto it = windows.find(window);
    if (it == windows.end() || !it->second.surface)
        return false;
    const Surface& surface = *it->second.surface;
    if (!area)
        return surface.WritePng(path);
    const RECT part = IntersectRects(surface.ToDevice(*area), RECT{0, 0, surface.Width(), surface.Height()});
    if (IsRectEmpty(part))
        return false;
    Surface cropped(part.right - part.left, part.bottom - part.top);
    cropped.CopyFrom(surface, -part.left, -part.top);
    return cropped.WritePng(path);
}

bool SurfaceBackend::ScreenshotAll(const std::string& path) const
{
    const std::vector<HWND> order = WindowTable::Instance().TopLevels();
    const RECT screenRect = ScreenRect();
    std::lock_guard guard(lock);
    Surface screen(screenRect.right - screenRect.left, screenRect.bottom - screenRect.top, 0xFF000000u, DeviceScale());
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        auto shown = windows.find(*it);
        if (shown != windows.end() && shown->second.visible && shown->second.surface)
            screen.CopyFrom(*shown->second.surface, screen.DeviceEdge(shown->second.rect.left),
                            screen.DeviceEdge(shown->second.rect.top));
    }
    return screen.WritePng(path);
}

} // namespace Platform
