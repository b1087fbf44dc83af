#include "UI/HostPainting.h"

#include "Platform/Gdi/Gdi.h"
#include "Platform/Gdiplus/Graphics.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"
#include "UI/ControlBase.h"
#include "UI/EventArgs.h"

using namespace Platform;

namespace Zivoro::UI {

void PaintFormTree(ControlBase& root, HWND window, HBITMAP backBuffer)
{
    if (!IsWindowVisible(window))
        return;
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    HDC memory = CreateCompatibleDC(target);
    HDC scratch = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memory, backBuffer);
    {
        Gdiplus::Graphics graphics(memory);
        CPaintEventArgs args;
        args.dc = memory;
        args.scratchDC = scratch;
        args.graphics = &graphics;
        root.OnPaint(&args);
    }
    BitBlt(target, 0, 0, root.bounds.right - root.bounds.left, root.bounds.bottom - root.bounds.top, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(scratch);
    DeleteDC(memory);
    EndPaint(window, &paint);
}

void PaintControlWindowTree(ControlBase& root, HDC target, const RECT& drawing)
{
    const int width = drawing.right - drawing.left, height = drawing.bottom - drawing.top;
    if (width <= 0 || height <= 0)
        return;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SetViewportOrgEx(memory, -drawing.left, -drawing.top, nullptr);
    {
        Gdiplus::Graphics graphics(memory);
        CPaintEventArgs args;
        args.dc = memory;
        args.scratchDC = memory;
        args.graphics = &graphics;
        root.OnPaint(&args);
    }
    SetViewportOrgEx(memory, 0, 0, nullptr);
    BitBlt(target, drawing.left, drawing.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

} // namespace Zivoro::UI
