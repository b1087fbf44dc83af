#include "Platform/Win/HeadlessBackend.h"

#include "Platform/Text/TextConv.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/WindowTable.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

namespace Platform {
namespace {

constexpr int kTaskBarHeight = 40;

class ConditionWaiter : public Waiter {
public:
    void Wait(int timeoutMs) override
    {
        std::unique_lock lock(mutex);
        if (timeoutMs < 0)
            woken.wait(lock, [this] { return pending; });
        else
            woken.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return pending; });
        pending = false;
    }

    void Wake() override
    {
        {
            std::lock_guard lock(mutex);
            pending = true;
        }
        woken.notify_one();
    }

private:
    std::mutex mutex;
    std::condition_variable woken;
    bool pending = false;
};

} // namespace

HeadlessBackend::HeadlessBackend(int screenWidth, int screenHeight) : width(screenWidth), height(screenHeight) {}

std::unique_ptr<Waiter> HeadlessBackend::CreateWaiter()
{
    return std::make_unique<ConditionWaiter>();
}

int HeadlessBackend::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT)
{
    std::fprintf(stderr, "[%s] %s\n", WideToUtf8(caption).c_str(), WideToUtf8(text).c_str());
    return IDOK;
}

RECT HeadlessBackend::ScreenRect() const
{
    return RECT{0, 0, width, height};
}

RECT HeadlessBackend::WorkArea() const
{
    return RECT{0, 0, width, height > kTaskBarHeight ? height - kTaskBarHeight : height};
}

void HeadlessBackend::WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface)
{
    std::lock_guard guard(lock);
    windows[window] = Shown{screenRect, visible, std::move(surface)};
}

void HeadlessBackend::WindowDestroyed(HWND window)
{
    std::lock_guard guard(lock);
    windows.erase(window);
}

void HeadlessBackend::Present(HWND, const RECT&)
{
    // The surface is the presentation: screenshots read it directly.
}

void HeadlessBackend::SetCursor(HCURSOR newCursor)
{
    std::lock_guard guard(lock);
    cursor = newCursor;
}

HCURSOR HeadlessBackend::Cursor() const
{
    std::lock_guard guard(lock);
    return cursor;
}

bool HeadlessBackend::Screenshot(HWND window, const std::string& path, const RECT* area) const
{
    std::lock_guard guard(lock);
    auto it = windows.find(window);
    if (it == windows.end() || !it->second.surface)
        return false;
    const Surface& surface = *it->second.surface;
    if (!area)
        return surface.WritePng(path);
    const RECT part = IntersectRects(*area, RECT{0, 0, surface.Width(), surface.Height()});
    if (IsRectEmpty(part))
        return false;
    Surface cropped(part.right - part.left, part.bottom - part.top);
    cropped.CopyFrom(surface, -part.left, -part.top);
    return cropped.WritePng(path);
}

bool HeadlessBackend::ScreenshotAll(const std::string& path) const
{
    const std::vector<HWND> order = WindowTable::Instance().TopLevels();
    std::lock_guard guard(lock);
    Surface screen(width, height, 0xFF000000u);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        auto shown = windows.find(*it);
        if (shown != windows.end() && shown->second.visible && shown->second.surface)
            screen.CopyFrom(*shown->second.surface, shown->second.rect.left, shown->second.rect.top);
    }
    return screen.WritePng(path);
}

} // namespace Platform
