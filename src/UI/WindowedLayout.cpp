#include "UI/WindowedLayout.h"

#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Region.h"
#include "Platform/Win/Window.h"
#include "Platform/Win/WinConstants.h"

using namespace Platform;

namespace WindowedLayout {

void SetVisible(ControlBase& control, int value)
{
    control.visible = value;
    ShowWindow(control.hwnd, value ? SW_SHOW : SW_HIDE);
}

void Join(ControlBase& control, ControlBase* parentControl)
{
    control.parent = parentControl;
    parentControl->AddChild(&control);
}

void MoveToLayout(ControlBase& control)
{
    control.bounds = control.ComputeBounds();
    const RECT& b = control.bounds;
    MoveWindow(control.hwnd, b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
}

void PaintFlatBorder(HWND window, COLORREF color)
{
    RECT client, frame;
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    // The client rectangle in window coordinates.
    OffsetRect(&client, clientOrigin.x - frame.left, clientOrigin.y - frame.top);
    HDC dc = GetWindowDC(window);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    const int width = client.right - client.left, height = client.bottom - client.top;
    InflateRect(&client, width, height);
    const COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
    SetBkColor(dc, old);
    ReleaseDC(window, dc);
}

void ShrinkClientByOne(LPARAM lParam)
{
    auto* rect = reinterpret_cast<RECT*>(lParam);
    InflateRect(rect, -1, -1);
}

} // namespace WindowedLayout
