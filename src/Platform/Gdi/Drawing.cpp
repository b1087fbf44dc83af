#include "Platform/Gdi/Drawing.h"

#include "Platform/Gdi/DeviceContextObject.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdi/RasterOps.h"
#include "Platform/Win/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Platform {
namespace {

void FillLogical(DeviceContextObject& dc, const RECT& rect, COLORREF color, int rop2 = R2_COPYPEN)
{
    FillSurfaceRect(dc, dc.ToSurface(rect), color, rop2);
}

void Frame(DeviceContextObject& dc, const RECT& r, int thickness, COLORREF color, int rop2)
{
    if (IsRectEmpty(r))
        return;
    const int t = std::min({thickness, (r.right - r.left + 1) / 2, (r.bottom - r.top + 1) / 2});
    FillLogical(dc, RECT{r.left, r.top, r.right, r.top + t}, color, rop2);
    FillLogical(dc, RECT{r.left, r.bottom - t, r.right, r.bottom}, color, rop2);
    FillLogical(dc, RECT{r.left, r.top + t, r.left + t, r.bottom - t}, color, rop2);
    FillLogical(dc, RECT{r.right - t, r.top + t, r.right, r.bottom - t}, color, rop2);
}

// A one-pixel line by Bresenham's rule, without its end point.
void ThinLine(DeviceContextObject& dc, POINT from, POINT to, COLORREF color, int rop2)
{
    const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    POINT p = from;
    while (p.x != to.x || p.y != to.y) {
        FillLogical(dc, RECT{p.x, p.y, p.x + 1, p.y + 1}, color, rop2);
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            p.x += sx;
        }
        if (doubled <= dx) {
            error += dx;
            p.y += sy;
        }
    }
}

// Copies device pixels between surfaces of one scale: target pixel (x, y) of area
// from source pixel (x + shift.x, y + shift.y), where the source has one.
void CopyDevicePixels(Surface& to, const Region& area, const Surface& from, POINT shift)
{
    Region inside = area;
    inside.Intersect(RECT{-shift.x, -shift.y, from.Width() - shift.x, from.Height() - shift.y});
    for (const RECT& part : inside.Rects())
        for (int row = part.top; row < part.bottom; ++row) {
            const auto* in = reinterpret_cast<const std::uint32_t*>(from.Data() + (row + shift.y) * from.Stride());
            auto* out = reinterpret_cast<std::uint32_t*>(to.Data() + row * to.Stride());
            std::memmove(out + part.left, in + part.left + shift.x,
                         static_cast<std::size_t>(part.right - part.left) * 4);
        }
}

// Between surfaces of different scales each target pixel takes the source pixel under
// its centre; shift is the source's logical offset.
void SampleDevicePixels(Surface& to, const Region& area, const Surface& from, POINT shift)
{
    const double ratio = from.Scale() / to.Scale();
    for (const RECT& part : area.Rects())
        for (int row = part.top; row < part.bottom; ++row) {
            const int sourceRow = static_cast<int>(std::floor((row + 0.5) * ratio + shift.y * from.Scale()));
            if (sourceRow < 0 || sourceRow >= from.Height())
                continue;
            const auto* in = reinterpret_cast<const std::uint32_t*>(from.Data() + sourceRow * from.Stride());
            auto* out = reinterpret_cast<std::uint32_t*>(to.Data() + row * to.Stride());
            for (int x = part.left; x < part.right; ++x) {
                const int sourceX = static_cast<int>(std::floor((x + 0.5) * ratio + shift.x * from.Scale()));
                if (sourceX >= 0 && sourceX < from.Width())
                    out[x] = in[sourceX];
            }
        }
}

int Channel(COLOR16 from, COLOR16 to, int step, int steps)
{
    const int a = from >> 8, b = to >> 8;
    return steps <= 0 ? a : a + (b - a) * step / steps;
}

} // namespace

int FillColor(HDC handle, const RECT& rect, COLORREF color)
{
    auto dc = FindDC(handle);
    if (!dc)
        return 0;
    FillLogical(*dc, rect, color);
    return 1;
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brush)
{
    auto dc = FindDC(handle);
    BrushInfo info;
    if (!dc || !rect || !GetBrushInfo(brush, info))
        return 0;
    if (!info.hollow)
        FillLogical(*dc, *rect, info.color);
    return 1;
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brush)
{
    auto dc = FindDC(handle);
    BrushInfo info;
    if (!dc || !rect || !GetBrushInfo(brush, info))
        return 0;
    if (!info.hollow)
        Frame(*dc, *rect, 1, info.color, R2_COPYPEN);
    return 1;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom)
{
    auto dc = FindDC(handle);
    if (!dc)
        return FALSE;
    RECT rect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    PenInfo pen;
    BrushInfo brush;
    const bool outlined = GetPenInfo(dc->state.pen, pen) && pen.style != PS_NULL;
    if (GetBrushInfo(dc->state.brush, brush) && !brush.hollow) {
        // A rectangle without an outline is one pixel smaller on the right and bottom.
        const RECT inside = outlined ? RECT{rect.left + pen.width, rect.top + pen.width, rect.right - pen.width,
                                            rect.bottom - pen.width}
                                     : RECT{rect.left, rect.top, rect.right - 1, rect.bottom - 1};
        FillLogical(*dc, inside, brush.color);
    }
    if (outlined)
        Frame(*dc, rect, pen.width, pen.color, dc->state.rop2);
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y)
{
    auto dc = FindDC(handle);
    if (!dc)
        return FALSE;
    const POINT from = dc->state.current, to{x, y};
    dc->state.current = to;
    PenInfo pen;
    if (!GetPenInfo(dc->state.pen, pen) || pen.style == PS_NULL)
        return TRUE;
    if (pen.width <= 1 || (from.x != to.x && from.y != to.y)) {
        ThinLine(*dc, from, to, pen.color, dc->state.rop2);
        return TRUE;
    }
    // Wide horizontal and vertical lines are centred on the path.
    const int before = (pen.width - 1) / 2, after = pen.width - before;
    const RECT band = from.y == to.y
                          ? RECT{std::min(from.x, to.x), from.y - before, std::max(from.x, to.x), from.y + after}
                          : RECT{from.x - before, std::min(from.y, to.y), from.x + after, std::max(from.y, to.y)};
    FillLogical(*dc, band, pen.color, dc->state.rop2);
    return TRUE;
}

BOOL GradientFill(HDC handle, const TRIVERTEX* vertices, ULONG vertexCount, const void* meshes, ULONG meshCount,
                  ULONG mode)
{
    auto dc = FindDC(handle);
    if (!dc || !dc->target || !vertices || !meshes || (mode != GRADIENT_FILL_RECT_V && mode != GRADIENT_FILL_RECT_H))
        return FALSE;
    const auto* rects = static_cast<const GRADIENT_RECT*>(meshes);
    for (ULONG m = 0; m < meshCount; ++m) {
        if (rects[m].UpperLeft >= vertexCount || rects[m].LowerRight >= vertexCount)
            return FALSE;
        const TRIVERTEX& a = vertices[rects[m].UpperLeft];
        const TRIVERTEX& b = vertices[rects[m].LowerRight];
        const RECT area{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        const bool vertical = mode == GRADIENT_FILL_RECT_V;
        // One colour step per device row (or column), so gradients stay smooth at any scale.
        const RECT device = dc->target->ToDevice(dc->ToSurface(area));
        const int steps = (vertical ? device.bottom - device.top : device.right - device.left) - 1;
        for (int i = 0; i <= steps; ++i) {
            const COLORREF color = RGB(Channel(a.Red, b.Red, i, steps), Channel(a.Green, b.Green, i, steps),
                                       Channel(a.Blue, b.Blue, i, steps));
            const RECT band = vertical ? RECT{device.left, device.top + i, device.right, device.top + i + 1}
                                       : RECT{device.left + i, device.top, device.left + i + 1, device.bottom};
            FillDeviceRect(*dc, band, color);
        }
        dc->MarkDrawn(dc->ToSurface(area));
    }
    return TRUE;
}

BOOL BitBlt(HDC targetHandle, int x, int y, int width, int height, HDC sourceHandle, int sourceX, int sourceY,
            DWORD rop)
{
    auto target = FindDC(targetHandle);
    auto source = FindDC(sourceHandle);
    if (!target || !source || rop != SRCCOPY || !target->target || !source->target)
        return FALSE;
    const RECT destination = target->ToSurface(RECT{x, y, x + width, y + height});
    const POINT from = source->ToSurface(sourceX, sourceY);
    Region area = target->EffectiveClip();
    area.Intersect(destination);
    // Only pixels that exist in the source are copied.
    Region available(RECT{0, 0, source->target->LogicalWidth(), source->target->LogicalHeight()});
    available.Offset(destination.left - from.x, destination.top - from.y);
    area.Intersect(available);
    Surface& to = *target->target;
    const Surface& sourceSurface = *source->target;
    to.Flush();
    sourceSurface.Flush();
    const Region deviceArea = ToDevice(to, area);
    if (to.Scale() == sourceSurface.Scale())
        CopyDevicePixels(to, deviceArea, sourceSurface,
                         POINT{sourceSurface.DeviceEdge(from.x) - to.DeviceEdge(destination.left),
                               sourceSurface.DeviceEdge(from.y) - to.DeviceEdge(destination.top)});
    else
        SampleDevicePixels(to, deviceArea, sourceSurface, POINT{from.x - destination.left, from.y - destination.top});
    to.MarkDirty();
    target->MarkDrawn(destination);
    return TRUE;
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color)
{
    auto dc = FindDC(handle);
    if (!dc)
        return 0xFFFFFFFFu;
    FillLogical(*dc, RECT{x, y, x + 1, y + 1}, color);
    return color;
}

COLORREF GetPixel(HDC handle, int x, int y)
{
    auto dc = FindDC(handle);
    if (!dc || !dc->target)
        return 0xFFFFFFFFu;
    const POINT p = dc->ToSurface(x, y);
    const Surface& surface = *dc->target;
    if (p.x < 0 || p.y < 0 || p.x >= surface.LogicalWidth() || p.y >= surface.LogicalHeight())
        return 0xFFFFFFFFu;
    // The top-left device pixel of the logical one.
    const std::uint32_t argb = surface.Pixel(surface.DeviceEdge(p.x), surface.DeviceEdge(p.y));
    return RGB(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
               static_cast<int>(argb & 0xFF));
}

} // namespace Platform
