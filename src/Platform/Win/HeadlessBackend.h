#pragma once
// The backend without a screen: message boxes are written to standard error and
// answered with OK, since nobody could press a button, and each top-level window's
// pixels stay in memory for screenshots.

#include "Platform/Win/SurfaceBackend.h"

namespace Platform {

class HeadlessBackend : public SurfaceBackend {
public:
    // The screen in logical pixels at a device scale; the work area leaves a 40-pixel
    // task bar at the bottom.
    explicit HeadlessBackend(int screenWidth = 1920, int screenHeight = 1080, double deviceScale = 1.0);

    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) override;
    RECT ScreenRect() const override;
    RECT WorkArea() const override;
    double DeviceScale() const override;
    void Present(HWND window, const RECT& dirty) override;
    void SetCursor(HCURSOR cursor) override;

    HCURSOR Cursor() const;

private:
    const int width;
    const int height;
    const double scale;
    HCURSOR cursor = nullptr; // guarded by lock
};

} // namespace Platform
