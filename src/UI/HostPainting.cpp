#include "UI/HostPainting.h"

#include "Platform/Gdi/BackBuffer.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"
#include "UI/ControlBase.h"
#include "UI/EventArgs.h"

using namespace Platform;

namespace Zivoro::UI {

namespace {

void PaintTree(ControlBase& root, HDC dc, HDC scratch)
{
    Gdiplus::Graphics graphics(dc);
    CPaintEventArgs args;
    args.dc = dc;
    args.scratchDC = scratch;
    args.graphics = &graphics;
    root.OnPaint(&args);
}

} // namespace

void PaintFormTree(ControlBase& root, HWND window, HBITMAP backBuffer)
{
    if (!IsWindowVisible(window))
        return;
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    {
        BackBuffer buffer(target, backBuffer,
                          RECT{0, 0, root.bounds.right - root.bounds.left, root.bounds.bottom - root.bounds.top});
        HDC scratch = CreateCompatibleDC(target);
        PaintTree(root, buffer.Dc(), scratch);
        DeleteDC(scratch);
        buffer.Present();
    }
    EndPaint(window, &paint);
}

void PaintControlWindowTree(ControlBase& root, HDC target, const RECT& drawing)
{
    if (drawing.right <= drawing.left || drawing.bottom <= drawing.top)
        return;
    BackBuffer buffer(target, drawing);
    PaintTree(root, buffer.Dc(), buffer.Dc());
    buffer.Present();
}

} // namespace Zivoro::UI
