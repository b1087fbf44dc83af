#pragma once
// The backend without a screen: message boxes are written to standard error and
// answered with OK, since nobody could press a button, and each top-level window's
// pixels stay in memory for screenshots.

#include "Platform/Win/SurfaceBackend.h"

namespace Platform {

class HeadlessBackend : public SurfaceBackend {
public:
    // The screen; the work area leaves a 40-pixel task bar at the bottom.
    explicit HeadlessBackend(int screenWidth = 1920, int screenHeight = 1080);

    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) override;
    RECT ScreenRect() const override;
    RECT WorkArea() const override;
    void Present(HWND window, const RECT& dirty) override;
    void SetCursor(HCURSOR cursor) override;

    HCURSOR Cursor() const;

private:
    const int width;
    const int height;
    HCURSOR cursor = nullptr; // guarded by lock
};

} // namespace Platform
