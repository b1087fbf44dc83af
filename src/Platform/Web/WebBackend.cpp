#include "Platform/Web/WebBackend.h"

#include "Platform/Text/TextConv.h"
#include "Platform/Web/FrameEncoder.h"
#include "Platform/Web/WebChannel.h"
#include "Platform/Web/WebJson.h"
#include "Platform/Win/ConditionWaiter.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Surface.h"
#include "Platform/Win/WindowTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Platform::Web {
namespace {

const char* CssCursor(HCURSOR cursor)
{
    switch (reinterpret_cast<std::uintptr_t>(cursor)) {
    case 32513:
        return "text";
    case 32514:
        return "wait";
    case 32515:
        return "crosshair";
    case 32642:
        return "nwse-resize";
    case 32643:
        return "nesw-resize";
    case 32644:
        return "ew-resize";
    case 32645:
        return "ns-resize";
    case 32646:
        return "move";
    case 32648:
        return "not-allowed";
    case 32649:
        return "pointer";
    default:
        return "default";
    }
}

void AppendWord(std::string& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendInt(std::string& bytes, int value)
{
    AppendWord(bytes, static_cast<std::uint32_t>(value));
}

// The binary frame message: header, then each picture with its place and size.
std::string PackFrame(std::uint32_t window, std::uint32_t frame, const PageUpdate& update, const Surface& surface)
{
    std::string bytes;
    bytes += static_cast<char>(2);
    AppendWord(bytes, window);
    AppendWord(bytes, frame);
    for (int value : {update.copy.x, update.copy.y, update.copy.w, update.copy.h, update.copy.dy})
        AppendInt(bytes, value);
    AppendWord(bytes, static_cast<std::uint32_t>(update.parts.size()));
    for (const RECT& part : update.parts) {
        const std::string png = EncodeFrame(surface, part);
        AppendInt(bytes, part.left);
        AppendInt(bytes, part.top);
        AppendWord(bytes, static_cast<std::uint32_t>(png.size()));
        bytes += png;
    }
    return bytes;
}

} // namespace

// The loop's wait on the windows' thread sends what is ready first, so pictures go out
// after every paint pass and whenever an acknowledgement wakes the loop.
class WebBackend::FlushingWaiter : public ConditionWaiter {
public:
    explicit FlushingWaiter(WebBackend& backend) : backend(backend) {}
    ~FlushingWaiter() override
    {
        std::lock_guard guard(backend.lock);
        std::erase(backend.waiters, this);
    }
    void Wait(int timeoutMs) override
    {
        backend.Flush();
        ConditionWaiter::Wait(timeoutMs);
    }

private:
    WebBackend& backend;
};

WebBackend::WebBackend(WebChannel& webChannel, int width, int height)
    : channel(webChannel), viewportWidth(width), viewportHeight(height)
{
}

std::uint32_t WebBackend::WindowId(HWND window)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}

std::unique_ptr<Waiter> WebBackend::CreateWaiter()
{
    auto waiter = std::make_unique<FlushingWaiter>(*this);
    std::lock_guard guard(lock);
    waiters.push_back(waiter.get());
    return waiter;
}

int WebBackend::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT)
{
    SendNotice(WideToUtf8(caption.empty() ? text : caption + L": " + text));
    return IDOK;
}

void WebBackend::SendNotice(const std::string& text)
{
    Json::Value message;
    message["t"] = "notice";
    message["text"] = text;
    channel.Send(FrameKind::Text, CompactJson(message));
}

RECT WebBackend::ScreenRect() const
{
    std::lock_guard guard(lock);
    return RECT{0, 0, viewportWidth, viewportHeight};
}

RECT WebBackend::WorkArea() const
{
    return ScreenRect();
}

void WebBackend::SetViewport(int width, int height)
{
    std::lock_guard guard(lock);
    viewportWidth = std::clamp(width, 1, kMaxSide);
    viewportHeight = std::clamp(height, 1, kMaxSide);
}

double WebBackend::DeviceScale() const
{
    std::lock_guard guard(lock);
    return deviceScale;
}

void WebBackend::SetDeviceScale(double scale)
{
    std::lock_guard guard(lock);
    deviceScale = std::isfinite(scale) ? std::clamp(scale, Surface::kMinimumScale, Surface::kMaximumScale) : 1.0;
}

SIZE WebBackend::FitTopLevel(HWND window, SIZE wanted)
{
    constexpr std::uint64_t kPixelBytes = 4;
    std::uint64_t others = 0;
    double scale = 1.0;
    {
        std::lock_guard guard(lock);
        scale = deviceScale;
        for (const auto& [handle, shown] : windows)
            if (handle != window && shown.surface)
                others += kPixelBytes * static_cast<std::uint64_t>(shown.surface->Width()) * shown.surface->Height();
    }
    // Each side is at most kMaxSide pixels of the surface, whatever the scale.
    const int side = std::max(1, static_cast<int>(kMaxSide / scale));
    SIZE fitted{std::clamp(wanted.cx, 0, side), std::clamp(wanted.cy, 0, side)};
    const std::uint64_t left = others < kMaxSurfaceBytes ? kMaxSurfaceBytes - others : 0;
    const std::uint64_t bytes = kPixelBytes * static_cast<std::uint64_t>(Surface::DeviceSize(fitted.cx, scale)) *
                                static_cast<std::uint64_t>(Surface::DeviceSize(fitted.cy, scale));
    if (bytes > left) {
        const double scale = std::sqrt(static_cast<double>(left) / static_cast<double>(bytes));
        fitted =
            SIZE{std::max(1, static_cast<int>(fitted.cx * scale)), std::max(1, static_cast<int>(fitted.cy * scale))};
    }
    if (fitted != wanted)
        std::fprintf(stderr,
                     "trellan: a window of %d x %d pixels was cut to %d x %d (at most %d a side and %llu MiB "
                     "for the windows of a session)\n",
                     wanted.cx, wanted.cy, fitted.cx, fitted.cy, kMaxSide,
                     static_cast<unsigned long long>(kMaxSurfaceBytes >> 20));
    return fitted;
}

void WebBackend::WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface)
{
    {
        std::lock_guard guard(lock);
        if (windowThread == std::thread::id())
            windowThread = std::this_thread::get_id();
        auto known = windows.find(window);
        const bool newPixels =
            known == windows.end() || known->second.surface != surface || (visible && !known->second.visible);
        if (newPixels && surface)
            dirty[window] = Dirty{RECT{0, 0, surface->Width(), surface->Height()}, true};
    }
    SurfaceBackend::WindowChanged(window, screenRect, visible, surface);
    Json::Value message;
    message["t"] = "window";
    message["id"] = WindowId(window);
    message["x"] = screenRect.left;
    message["y"] = screenRect.top;
    message["w"] = screenRect.right - screenRect.left;
    message["h"] = screenRect.bottom - screenRect.top;
    message["dw"] = surface ? surface->Width() : screenRect.right - screenRect.left;
    message["dh"] = surface ? surface->Height() : screenRect.bottom - screenRect.top;
    message["visible"] = visible;
    channel.Send(FrameKind::Text, CompactJson(message));
}

void WebBackend::WindowDestroyed(HWND window)
{
    {
        std::lock_guard guard(lock);
        dirty.erase(window);
    }
    mirrors.erase(window);
    SurfaceBackend::WindowDestroyed(window);
    Json::Value message;
    message["t"] = "gone";
    message["id"] = WindowId(window);
    channel.Send(FrameKind::Text, CompactJson(message));
}

void WebBackend::Present(HWND window, const RECT& area)
{
    std::lock_guard guard(lock);
    auto known = dirty.find(window);
    if (known == dirty.end())
        dirty[window] = Dirty{area, false};
    else
        known->second.area = UnionRects(known->second.area, area);
}

void WebBackend::SetCursor(HCURSOR cursor)
{
    Json::Value message;
    message["t"] = "cursor";
    message["css"] = CssCursor(cursor);
    channel.Send(FrameKind::Text, CompactJson(message));
}

void WebBackend::SetMainWindow(HWND window)
{
    Json::Value message;
    message["t"] = "main";
    message["id"] = WindowId(window);
    channel.Send(FrameKind::Text, CompactJson(message));
}

void WebBackend::Acknowledge(std::uint32_t frame)
{
    {
        std::lock_guard guard(lock);
        // Only a frame that was sent and is still waiting counts.
        if (frame == 0 || frame >= nextFrame || inFlight == 0)
            return;
        --inFlight;
    }
    WakeLoops();
}

void WebBackend::WakeLoops()
{
    std::lock_guard guard(lock);
    for (FlushingWaiter* waiter : waiters)
        waiter->Wake();
}

void WebBackend::SendOrder()
{
    std::vector<HWND> order = WindowTable::Instance().TopLevels();
    {
        std::lock_guard guard(lock);
        std::erase_if(order, [this](HWND window) { return windows.count(window) == 0; });
    }
    if (order == sentOrder)
        return;
    sentOrder = order;
    Json::Value message;
    message["t"] = "order";
    message["ids"] = Json::Value(Json::arrayValue);
    for (HWND window : order)
        message["ids"].append(WindowId(window));
    channel.Send(FrameKind::Text, CompactJson(message));
}

void WebBackend::Flush()
{
    {
        std::lock_guard guard(lock);
        if (std::this_thread::get_id() != windowThread)
            return;
    }
    SendOrder();
    while (true) {
        std::shared_ptr<Surface> surface;
        Dirty area{};
        HWND window = nullptr;
        {
            std::lock_guard guard(lock);
            if (inFlight >= kMaxInFlight)
                return;
            for (auto it = dirty.begin(); it != dirty.end() && !surface; it = dirty.erase(it)) {
                auto shown = windows.find(it->first);
                if (shown == windows.end() || !shown->second.visible || !shown->second.surface)
                    continue;
                window = it->first;
                area = it->second;
                surface = shown->second.surface;
            }
            if (!surface)
                return;
        }
        // The surface is drawn and the mirror kept only on this thread, so both are
        // used here without the lock.
        PageMirror& mirror = mirrors[window];
        if (area.fresh)
            mirror.Forget();
        const PageUpdate update = mirror.Update(*surface, area.area);
        if (update.Empty())
            continue;
        std::uint32_t frame = 0;
        {
            std::lock_guard guard(lock);
            frame = nextFrame++;
            ++inFlight;
        }
        channel.Send(FrameKind::Binary, PackFrame(WindowId(window), frame, update, *surface));
    }
}

} // namespace Platform::Web
