#include "UI/FormBase.h"

#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Screen.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"
#include "Platform/Win/WindowGeometry.h"
#include "UI/HostPainting.h"

using namespace Platform;

FormBase::FormBase() : host(*this, this) {}

FormBase::~FormBase()
{
    if (backBuffer)
        DeleteObject(backBuffer);
}

void FormBase::AttachWindow(HWND window, int x, int y, int width, int height)
{
    hwnd = window;
    bounds = RECT{x, y, x + width, y + height};
}

INT_PTR FormBase::DialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!ProcessWindowMessage(dialog, message, wParam, lParam, result))
        return FALSE;
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

bool FormBase::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_DESTROY:
        if (backBuffer)
            DeleteObject(backBuffer);
        backBuffer = nullptr;
        return true;
    case WM_SIZE:
        Resize(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
        return true;
    case WM_PAINT:
        Zivoro::UI::PaintFormTree(*this, window, backBuffer);
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_GETMINMAXINFO:
        FillMinMaxInfo(lParam);
        return true;
    default:
        return host.RouteMouse(window, message, wParam, lParam);
    }
}

void FormBase::Resize(int width, int height)
{
    host.Resize(width, height);
    if (backBuffer)
        DeleteObject(backBuffer);
    HDC dc = GetDC(hwnd);
    backBuffer = CreateCompatibleBitmap(dc, width, height);
    ReleaseDC(hwnd, dc);
    if (IsWindowVisible(hwnd)) {
        LayoutChildren();
        Invalidate();
    }
}

void FormBase::FillMinMaxInfo(LPARAM lParam) const
{
    // The form draws its own frame, so maximised it fills the work area exactly: no
    // border of the system's hangs over the edges.
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const RECT work = WorkAreaOf(hwnd);
    info->ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
    info->ptMaxPosition = POINT{work.left, work.top};
}

void FormBase::OnControlRemoved(ControlBase* control)
{
    host.Forget(control);
}

void FormBase::ToggleMaximize()
{
    if (maximized) {
        ShowWindow(hwnd, SW_RESTORE);
        maximized = 0;
        dragEnabled = 1;
    } else {
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        maximized = 1;
        dragEnabled = 0;
    }
}

bool FormBase::BeginDrag(POINT pt)
{
    if (!dragEnabled)
        return false;
    drager.BeginDrag(*this, pt);
    return true;
}

bool FormBase::IsDragging() const
{
    return drager.IsDragging();
}

void FormBase::DragTo(POINT pt)
{
    drager.DragTo(pt);
}

void FormBase::EndDrag()
{
    drager.EndDrag();
}
