#include "UI/FormHost.h"

#include "Platform/Win/Input.h"
#include "UI/ControlBase.h"
#include "UI/EventArgs.h"

#include <utility>

using namespace Platform;

namespace Zivoro::UI {
namespace {

constexpr DWORD kHoverTime = 10;

CMouseEventArgs MouseArgs(WPARAM keys, LPARAM lParam)
{
    CMouseEventArgs args;
    args.keys = static_cast<std::int32_t>(keys);
    args.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return args;
}

} // namespace

FormHost::FormHost(ControlBase& root, DragHook* drag) : root(root), drag(drag) {}

bool FormHost::RouteMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: {
        SetCapture(window);
        CMouseEventArgs args = MouseArgs(wParam, lParam);
        root.OnMouseDown(&args);
        // A handler may have opened a modal form, which took the capture and ended the press.
        if (GetCapture() != window)
            return true;
        if (args.handled)
            captured = args.target;
        else if (drag)
            drag->BeginDrag(args.pt);
        return true;
    }
    case WM_MOUSEMOVE: {
        if (drag && drag->IsDragging()) {
            drag->DragTo(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return true;
        }
        CMouseEventArgs args = MouseArgs(wParam, lParam);
        if (captured) {
            captured->OnMouseMove(&args);
            return true;
        }
        root.OnMouseMove(&args);
        if (!tracking) {
            TRACKMOUSEEVENT request;
            request.dwFlags = TME_HOVER | TME_LEAVE;
            request.hwndTrack = window;
            request.dwHoverTime = kHoverTime;
            TrackMouseEvent(&request);
            tracking = 1;
        }
        return true;
    }
    case WM_LBUTTONUP: {
        // Taken before the capture goes, so that its WM_CAPTURECHANGED ends nothing.
        ControlBase* target = std::exchange(captured, nullptr);
        const bool dragging = drag && drag->IsDragging();
        ReleaseCapture();
        if (dragging) {
            drag->EndDrag();
            return true;
        }
        CMouseEventArgs args = MouseArgs(wParam, lParam);
        if (target)
            target->OnMouseUp(&args);
        else
            root.OnMouseUp(&args);
        return true;
    }
    case WM_CAPTURECHANGED:
        LoseCapture();
        return true;
    case WM_MOUSELEAVE:
        root.OnMouseLeave();
        tracking = 0;
        return true;
    default:
        return false;
    }
}

void FormHost::Resize(int width, int height)
{
    root.bounds = RECT{0, 0, width, height};
    root.LayoutChildren();
}

void FormHost::Forget(ControlBase* control)
{
    for (ControlBase* link = captured; link; link = link->parent) {
        if (link == control) {
            captured = nullptr;
            return;
        }
    }
}

void FormHost::LoseCapture()
{
    if (drag && drag->IsDragging())
        drag->EndDrag();
    if (ControlBase* target = std::exchange(captured, nullptr)) {
        target->state &= ~StatePressed;
        target->Invalidate();
    }
}

bool ControlWindowMouse::Route(HWND window, UINT message, LPARAM lParam)
{
    CMouseEventArgs args = MouseArgs(1, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        root.OnMouseMove(&args);
        if (tracked != window) {
            TRACKMOUSEEVENT request;
            request.dwFlags = TME_LEAVE;
            request.hwndTrack = window;
            request.dwHoverTime = kHoverTime;
            if (TrackMouseEvent(&request))
                tracked = window;
        }
        return true;
    case WM_LBUTTONDOWN:
        root.OnMouseDown(&args);
        return true;
    case WM_LBUTTONUP:
        root.OnMouseUp(&args);
        return true;
    case WM_MOUSELEAVE:
        tracked = nullptr;
        root.OnMouseLeave();
        return true;
    default:
        return false;
    }
}

} // namespace Zivoro::UI
