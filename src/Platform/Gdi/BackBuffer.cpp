#include "Platform/Gdi/BackBuffer.h"

#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"

namespace Platform {
namespace {

HBITMAP AtScaleOf(HDC target, HBITMAP kept)
{
    FollowDeviceScale(kept, GetDeviceScale(target));
    return kept;
}

} // namespace

BackBuffer::BackBuffer(HDC target, const RECT& area)
    : BackBuffer(target, CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top), area)
{
    ownsBitmap = true;
}

BackBuffer::BackBuffer(HDC target, HBITMAP kept, const RECT& area)
    : target(target), area(area), memory(CreateCompatibleDC(target)), bitmap(AtScaleOf(target, kept)),
      previous(SelectObject(memory, bitmap))
{
    SetViewportOrgEx(memory, -area.left, -area.top, nullptr);
}

BackBuffer::~BackBuffer()
{
    SelectObject(memory, previous);
    if (ownsBitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
}

void BackBuffer::Present()
{
    POINT origin;
    SetViewportOrgEx(memory, 0, 0, &origin);
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, 0, 0, SRCCOPY);
    SetViewportOrgEx(memory, origin.x, origin.y, nullptr);
}

} // namespace Platform
