#include "UI/FormHost.h"

#include "Platform/Win/Input.h"
#include "UI/ControlBase.h"
#include "UI/EventArgs.h"

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
        ReleaseCapture();
        if (drag && drag->IsDragging()) {
            drag->EndDrag();
            return true;
        }
        CMouseEventArgs args = MouseArgs(wParam, lParam);
        if (ControlBase* target = captured) {
            captured = nullptr;
            target->OnMouseUp(&args);
        } else {
            root.OnMouseUp(&args);
        }
        return true;
    }
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
    if (captured == control)
        captured = nullptr;
}

bool RouteControlWindowMouse(ControlBase& root, UINT message, LPARAM lParam)
{
    CMouseEventArgs args = MouseArgs(1, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
        root.OnMouseMove(&args);
        return true;
    case WM_LBUTTONDOWN:
        root.OnMouseDown(&args);
        return true;
    case WM_LBUTTONUP:
        root.OnMouseUp(&args);
        return true;
    default:
        return false;
    }
}

} // namespace Zivoro::UI
