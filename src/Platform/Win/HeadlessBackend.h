#pragma once
// The backend without a screen: loops wait on a condition, message boxes are written
// to standard error and answered with OK, since nobody could press a button, and
// each top-level window's pixels stay in memory for screenshots.

#include "Platform/Win/Backend.h"

#include <map>
#include <mutex>

namespace Platform {

class HeadlessBackend : public Backend {
public:
    // The screen; the work area leaves a 40-pixel task bar at the bottom.
    explicit HeadlessBackend(int screenWidth = 1920, int screenHeight = 1080);

    std::unique_ptr<Waiter> CreateWaiter() override;
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) override;
    RECT ScreenRect() const override;
    RECT WorkArea() const override;
    void WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface) override;
    void WindowDestroyed(HWND window) override;
    void Present(HWND window, const RECT& dirty) override;
    void SetCursor(HCURSOR cursor) override;

    HCURSOR Cursor() const;
    // Writes one top-level window's surface, or the part of it in area (surface
    // coordinates), as a PNG file.
    bool Screenshot(HWND window, const std::string& path, const RECT* area = nullptr) const;
    // Composes every visible top-level window on the screen, back to front.
    bool ScreenshotAll(const std::string& path) const;

private:
    struct Shown {
        RECT rect;
        bool visible = false;
        std::shared_ptr<Surface> surface;
    };

    const int width;
    const int height;
    mutable std::mutex lock;
    std::map<HWND, Shown> windows;
    HCURSOR cursor = nullptr;
};

} // namespace Platform
