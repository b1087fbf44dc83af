#include "Platform/Gdi/RasterOps.h"

#include "Platform/Gdi/DeviceContextObject.h"
#include "Platform/Win/Surface.h"

namespace Platform {
namespace {

std::uint32_t Combine(std::uint32_t destination, std::uint32_t pen, int rop2)
{
    constexpr std::uint32_t rgb = 0x00FFFFFFu, alpha = 0xFF000000u;
    switch (rop2) {
    case R2_BLACK:
        return alpha;
    case R2_WHITE:
        return 0xFFFFFFFFu;
    case R2_NOT:
        return alpha | (~destination & rgb);
    case R2_XORPEN:
        return alpha | ((destination ^ pen) & rgb);
    case R2_NOTXORPEN:
        return alpha | (~(destination ^ pen) & rgb);
    case R2_NOP:
        return destination;
    default:
        return pen;
    }
}

} // namespace

void FillSurfaceRect(DeviceContextObject& dc, const RECT& surfaceRect, COLORREF color, int rop2)
{
    if (!dc.target || IsRectEmpty(surfaceRect))
        return;
    FillDeviceRect(dc, dc.target->ToDevice(surfaceRect), color, rop2);
    dc.MarkDrawn(surfaceRect);
}

void FillDeviceRect(DeviceContextObject& dc, const RECT& deviceRect, COLORREF color, int rop2)
{
    if (!dc.target || IsRectEmpty(deviceRect))
        return;
    Region area = dc.DeviceClip();
    area.Intersect(deviceRect);
    if (area.IsEmpty())
        return;
    Surface& surface = *dc.target;
    surface.Flush();
    const std::uint32_t pen = ColorToArgb(color);
    for (const RECT& part : area.Rects())
        for (int y = part.top; y < part.bottom; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(surface.Data() + y * surface.Stride());
            for (int x = part.left; x < part.right; ++x)
                row[x] = Combine(row[x], pen, rop2);
        }
    surface.MarkDirty();
}

} // namespace Platform
