#pragma once
// The backend that shows the windows in a web page through trellan.js. The page's
// viewport is the screen; the main window (the container of the control) is drawn in
// the page element's canvas, every other top-level window in an overlay canvas at its
// place on the screen. Dirty areas of each top-level surface are compared with what
// the page already shows (PageMirror): only changed rows go out, as PNG pictures, and
// rows that moved (a scrolled list) go out as a copy the page makes of its own
// pixels. While the page has not acknowledged earlier frames, new dirty areas are
// merged and wait, so a slow page gets fewer, larger frames instead of a growing queue.
//
// Messages to the page (JSON texts unless said otherwise):
//   {"t":"window","id","x","y","w","h","dw","dh","visible"}  a top-level window appeared
//                                                   or changed: its place and size in CSS
//                                                   pixels, its pixels' size (dw x dh)
//   {"t":"gone","id"}                               it was destroyed
//   {"t":"main","id"}                               the window shown in the element
//   {"t":"order","ids":[...]}                       top-level windows, front first
//   {"t":"cursor","css"}                            the pointer's shape as a CSS cursor
//   {"t":"notice","text"}                           a system message box's text
//   binary: a frame of one window, little-endian, in the window's pixels (the page's
//   device pixels: windows are drawn at the page's device pixel ratio). Header (kFrameHeaderSize bytes):
//   kind 2, window id, frame number, the copy (x, y, w, h, dy: the page moves its rows
//   y..y+h-1 of columns x..x+w-1 by dy rows; no copy when w or h is 0) and the number
//   of pictures; then each picture: x, y, byte count and its PNG. The page makes the
//   copy, draws the pictures at their places and answers {"t":"ack","n":frame}.

#include "Platform/Web/PageMirror.h"
#include "Platform/Win/SurfaceBackend.h"

#include <cstdint>
#include <thread>
#include <vector>

namespace Platform::Web {

class WebChannel;

class WebBackend : public SurfaceBackend {
public:
    static constexpr std::size_t kFrameHeaderSize = 33;
    static constexpr std::size_t kPictureHeaderSize = 12;
    // Frames sent and not yet acknowledged, at most.
    static constexpr int kMaxInFlight = 2;
    // Limits of the element's and the overlays' surfaces, so that no page can make its
    // session take the machine's memory: each side, and the pixels of all top-level
    // windows of the session together (the page mirror keeps one more copy of each).
    static constexpr int kMaxSide = 8192;
    static constexpr std::uint64_t kMaxSurfaceBytes = 256ull << 20;

    explicit WebBackend(WebChannel& channel, int viewportWidth = 1280, int viewportHeight = 800);

    std::unique_ptr<Waiter> CreateWaiter() override;
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) override;
    RECT ScreenRect() const override;
    RECT WorkArea() const override;
    double DeviceScale() const override;
    void WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface) override;
    void WindowDestroyed(HWND window) override;
    void Present(HWND window, const RECT& dirty) override;
    void SetCursor(HCURSOR cursor) override;
    // Each side at most kMaxSide, and smaller (the same shape) where the surfaces of all
    // windows would pass kMaxSurfaceBytes; a cut is logged.
    SIZE FitTopLevel(HWND window, SIZE wanted) override;

    // Any thread.
    void SetViewport(int width, int height);
    // The page's device pixel ratio, kept within what surfaces may have; windows take it
    // through FollowDeviceScale on their thread.
    void SetDeviceScale(double scale);
    // Tells the page something its user should know: {"t":"notice","text"}.
    void SendNotice(const std::string& text);
    void Acknowledge(std::uint32_t frame);
    // The window system's thread.
    void SetMainWindow(HWND window);
    // Sends what the page may take now: the z-order when it changed, and frames of
    // dirty areas while fewer than kMaxInFlight wait for acknowledgement. Runs on the
    // thread that owns the windows before each wait of its loops; elsewhere it does nothing.
    void Flush();

    static std::uint32_t WindowId(HWND window);

private:
    class FlushingWaiter;
    struct Dirty {
        RECT area; // surface coordinates
        bool fresh; // a new surface: the page's canvas holds nothing of it
    };

    void SendOrder();
    void WakeLoops();

    WebChannel& channel;
    // Below: guarded by the base class's lock.
    int viewportWidth;
    int viewportHeight;
    double deviceScale = 1.0;
    std::map<HWND, Dirty> dirty; // per top-level window
    int inFlight = 0;
    std::uint32_t nextFrame = 1;
    std::thread::id windowThread;
    std::vector<FlushingWaiter*> waiters;
    // The window system's thread only.
    std::vector<HWND> sentOrder;
    std::map<HWND, PageMirror> mirrors;
};

} // namespace Platform::Web
