#pragma once
// What the backends share: the store of each top-level window's place, visibility and
// surface, the loops' wait, and screenshots read from the stored surfaces. A backend
// adds how the pixels reach a screen (or do not).

#include "Platform/Win/Backend.h"

#include <map>
#include <mutex>

namespace Platform {

class SurfaceBackend : public Backend {
public:
    std::unique_ptr<Waiter> CreateWaiter() override;
    void WindowChanged(HWND window, const RECT& screenRect, bool visible, std::shared_ptr<Surface> surface) override;
    void WindowDestroyed(HWND window) override;
    bool Screenshot(HWND window, const std::string& path, const RECT* area = nullptr) const override;
    bool ScreenshotAll(const std::string& path) const override;

protected:
    struct Shown {
        RECT rect;
        bool visible = false;
        std::shared_ptr<Surface> surface;
    };

    // Guards windows, and whatever a derived backend keeps beside it.
    mutable std::mutex lock;
    std::map<HWND, Shown> windows;
};

} // namespace Platform
