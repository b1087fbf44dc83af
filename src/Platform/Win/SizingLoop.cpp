#include "Platform/Win/SizingLoop.h"

#include "Platform/Win/CaptureLoop.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

#include <algorithm>

namespace Platform {
namespace {

bool MovesLeft(WPARAM edge)
{
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}
bool MovesRight(WPARAM edge)
{
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}
bool MovesTop(WPARAM edge)
{
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}
bool MovesBottom(WPARAM edge)
{
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

RECT Proposed(const RECT& start, WPARAM edge, int dx, int dy)
{
    RECT rect = start;
    if (MovesLeft(edge))
        rect.left += dx;
    if (MovesRight(edge))
        rect.right += dx;
    if (MovesTop(edge))
        rect.top += dy;
    if (MovesBottom(edge))
        rect.bottom += dy;
    return rect;
}

// Keeps the minimum tracking size by moving the dragged sides back.
void KeepMinimum(HWND window, WPARAM edge, RECT& rect)
{
    MINMAXINFO info;
    info.ptMinTrackSize = POINT{1, 1};
    info.ptMaxTrackSize = POINT{0x7FFF, 0x7FFF};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const int width = std::clamp<int>(rect.right - rect.left, info.ptMinTrackSize.x, info.ptMaxTrackSize.x);
    const int height = std::clamp<int>(rect.bottom - rect.top, info.ptMinTrackSize.y, info.ptMaxTrackSize.y);
    if (MovesLeft(edge))
        rect.left = rect.right - width;
    else
        rect.right = rect.left + width;
    if (MovesTop(edge))
        rect.top = rect.bottom - height;
    else
        rect.bottom = rect.top + height;
}

void Place(HWND window, RECT rect)
{
    if (const HWND parent = (GetWindowStyle(window) & WS_CHILD) ? GetParent(window) : nullptr)
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void RunSizingLoop(HWND window, WPARAM edge)
{
    if (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT)
        return;
    RECT start;
    POINT press;
    if (!GetWindowRect(window, &start) || !GetCursorPos(&press))
        return;
    const CaptureEnd end = RunCaptureLoop(window, [&](POINT cursor) {
        RECT rect = Proposed(start, edge, cursor.x - press.x, cursor.y - press.y);
        SendMessageW(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&rect));
        KeepMinimum(window, edge, rect);
        Place(window, rect);
    });
    if (end == CaptureEnd::Cancelled && IsWindow(window))
        Place(window, start);
}

} // namespace Platform
