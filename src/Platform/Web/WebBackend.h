#pragma once
// The backend that shows the windows in a web page through trellan.js. The page's
// viewport is the screen; the main window (the container of the control) is drawn in
// the page element's canvas, every other top-level window in an overlay canvas at its
// place on the screen. Dirty areas of each top-level surface go out as PNG pictures;
// while the page has not acknowledged earlier pictures, new dirty areas are merged and
// wait, so a slow page gets fewer, larger pictures instead of a growing queue.
//
// Messages to the page (JSON texts unless said otherwise):
//   {"t":"window","id","x","y","w","h","visible"}  a top-level window appeared or changed
//   {"t":"gone","id"}                               it was destroyed
//   {"t":"main","id"}                               the window shown in the element
//   {"t":"order","ids":[...]}                       top-level windows, front first
//   {"t":"cursor","css"}                            the pointer's shape as a CSS cursor
//   {"t":"notice","text"}                           a system message box's text
//   binary: picture header (kPictureHeaderSize bytes, little-endian: kind 1, window
//   id, frame number, x, y) and the PNG of that part of the window; the page answers
//   {"t":"ack","n":frame} once it has drawn it.

#include "Platform/Win/SurfaceBackend.h"

#include <cstdint>
#include <thread>
#include <vector>

namespace Platform::Web {

class WebChannel;

class WebBackend : public SurfaceBackend {
public:
    static constexpr std::size_t kPictureHeaderSize = 17;
    // Pictures sent and not yet acknowledged, at most.
    static constexpr int kMaxInFlight = 2;

    explicit WebBackend(WebChannel& channel, int viewportWidth = 1280, int viewportHeight = 800);

    std::unique_ptr<Waiter> CreateWaiter() override;
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) override;
    RECT ScreenRect() const override;
    RECT WorkArea() const override;
    void WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface) override;
    void WindowDestroyed(HWND window) override;
    void Present(HWND window, const RECT& dirty) override;
    void SetCursor(HCURSOR cursor) override;

    // Any thread.
    void SetViewport(int width, int height);
    void Acknowledge(std::uint32_t frame);
    // The window system's thread.
    void SetMainWindow(HWND window);
    // Sends what the page may take now: the z-order when it changed, and pictures of
    // dirty areas while fewer than kMaxInFlight wait for acknowledgement. Runs on the
    // thread that owns the windows before each wait of its loops; elsewhere it does nothing.
    void Flush();

    static std::uint32_t WindowId(HWND window);

private:
    class FlushingWaiter;

    void SendOrder();
    void WakeLoops();

    WebChannel& channel;
    // Below: guarded by the base class's lock.
    int viewportWidth;
    int viewportHeight;
    std::map<HWND, RECT> dirty; // surface coordinates, per top-level window
    int inFlight = 0;
    std::uint32_t nextFrame = 1;
    std::thread::id windowThread;
    std::vector<FlushingWaiter*> waiters;
    // The window system's thread only.
    std::vector<HWND> sentOrder;
};

} // namespace Platform::Web
