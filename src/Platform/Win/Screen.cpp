#include "Platform/Win/Screen.h"

#include "Platform/Win/Backend.h"
#include "Platform/Win/Window.h"

#include <algorithm>

namespace Platform {
namespace {

// The headless and web screens have one monitor.
const HMONITOR kPrimaryMonitor = reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(0x1000));

constexpr int kScrollBarSize = 17;
constexpr int kCaptionHeight = 23;
constexpr int kDialogFrame = 3;
constexpr int kDoubleClickBox = 4;

int CenteredStart(int referenceStart, int referenceEnd, int size, int workStart, int workEnd)
{
    int start = (referenceStart + referenceEnd) / 2 - size / 2;
    if (start + size > workEnd)
        start = workEnd - size;
    return std::max(start, workStart);
}

} // namespace

int GetSystemMetrics(int index)
{
    const RECT screen = CurrentBackend().ScreenRect();
    const RECT work = CurrentBackend().WorkArea();
    switch (index) {
    case SM_CXSCREEN:
        return screen.right - screen.left;
    case SM_CYSCREEN:
        return screen.bottom - screen.top;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
        return kScrollBarSize;
    case SM_CYCAPTION:
        return kCaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return kDialogFrame;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXFULLSCREEN:
        return work.right - work.left;
    case SM_CYFULLSCREEN:
        return work.bottom - work.top - kCaptionHeight;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return kDoubleClickBox;
    default:
        return 0;
    }
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags)
{
    return IsWindow(window) || flags != MONITOR_DEFAULTTONULL ? kPrimaryMonitor : nullptr;
}

HMONITOR MonitorFromPoint(POINT point, DWORD flags)
{
    const RECT screen = CurrentBackend().ScreenRect();
    const bool inside =
        point.x >= screen.left && point.x < screen.right && point.y >= screen.top && point.y < screen.bottom;
    return inside || flags != MONITOR_DEFAULTTONULL ? kPrimaryMonitor : nullptr;
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info)
{
    if (monitor != kPrimaryMonitor || !info)
        return FALSE;
    info->rcMonitor = CurrentBackend().ScreenRect();
    info->rcWork = CurrentBackend().WorkArea();
    info->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

RECT WorkAreaOf(HWND window)
{
    MONITORINFO info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

void CenterWindow(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    const HWND owner = GetWindow(window, GW_OWNER);
    RECT reference, work;
    if (owner && IsWindowVisible(owner)) {
        GetWindowRect(owner, &reference);
        work = WorkAreaOf(owner);
    } else {
        work = reference = WorkAreaOf(window);
    }
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SetWindowPos(window, nullptr, CenteredStart(reference.left, reference.right, width, work.left, work.right),
                 CenteredStart(reference.top, reference.bottom, height, work.top, work.bottom), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace Platform
