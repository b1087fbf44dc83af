#include "Platform/Gdi/DeviceContext.h"

#include "Platform/Gdi/DeviceContextObject.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Win/Surface.h"

#include <algorithm>
#include <utility>
#include <mutex>
#include <unordered_map>

namespace Platform {
namespace {

class DcTable {
public:
    static DcTable& Instance()
    {
        static DcTable table;
        return table;
    }

    HDC Add(std::shared_ptr<DeviceContextObject> dc)
    {
        std::lock_guard guard(lock);
        next += 4;
        auto handle = reinterpret_cast<HDC>(next);
        contexts.emplace(handle, std::move(dc));
        return handle;
    }

    std::shared_ptr<DeviceContextObject> Find(HDC handle)
    {
        std::lock_guard guard(lock);
        auto it = contexts.find(handle);
        return it == contexts.end() ? nullptr : it->second;
    }

    bool Remove(HDC handle)
    {
        std::lock_guard guard(lock);
        return contexts.erase(handle) > 0;
    }

private:
    std::mutex lock;
    std::uintptr_t next = 0x200000;
    std::unordered_map<HDC, std::shared_ptr<DeviceContextObject>> contexts;
};

void SelectDefaults(DcState& state)
{
    state.pen = GetStockObject(BLACK_PEN);
    state.brush = GetStockObject(WHITE_BRUSH);
    state.font = GetStockObject(SYSTEM_FONT);
}

int RegionKind(const Region& region)
{
    if (region.IsEmpty())
        return NULLREGION;
    return region.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Sets one of the context's origins, giving back the one it replaces.
BOOL SetOrigin(HDC handle, POINT DcState::*origin, POINT value, POINT* previous)
{
    auto dc = FindDC(handle);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->state.*origin;
    dc->state.*origin = value;
    return TRUE;
}

} // namespace

POINT DeviceContextObject::ToSurface(int x, int y) const
{
    return POINT{x - state.windowOrigin.x + origin.x + state.viewport.x,
                 y - state.windowOrigin.y + origin.y + state.viewport.y};
}

RECT DeviceContextObject::ToSurface(const RECT& rect) const
{
    const POINT shift = ToSurface(0, 0);
    return OffsetRectBy(rect, shift.x, shift.y);
}

Region DeviceContextObject::EffectiveClip() const
{
    Region clip = area;
    if (state.clipped)
        clip.Intersect(state.clip);
    if (target)
        clip.Intersect(RECT{0, 0, target->LogicalWidth(), target->LogicalHeight()});
    return clip;
}

Region DeviceContextObject::DeviceClip() const
{
    return target ? ToDevice(*target, EffectiveClip()) : Region();
}

Region ToDevice(const Surface& surface, const Region& logical)
{
    if (surface.Scale() == 1.0)
        return logical;
    Region device;
    for (const RECT& part : logical.Rects())
        device.Add(surface.ToDevice(part));
    device.Intersect(RECT{0, 0, surface.Width(), surface.Height()});
    return device;
}

void DeviceContextObject::MarkDrawn(const RECT& surfaceRect)
{
    const RECT drawn = IntersectRects(surfaceRect, EffectiveClip().Bounds());
    if (IsRectEmpty(drawn))
        return;
    if (IsRectEmpty(dirty))
        dirty = drawn;
    else
        dirty = RECT{std::min(dirty.left, drawn.left), std::min(dirty.top, drawn.top),
                     std::max(dirty.right, drawn.right), std::max(dirty.bottom, drawn.bottom)};
}

std::shared_ptr<DeviceContextObject> FindDC(HDC dc)
{
    return dc ? DcTable::Instance().Find(dc) : nullptr;
}

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region& clip, HWND window)
{
    auto dc = std::make_shared<DeviceContextObject>();
    dc->target = std::move(surface);
    dc->origin = origin;
    dc->area = clip;
    dc->window = window;
    SelectDefaults(dc->state);
    return DcTable::Instance().Add(std::move(dc));
}

BOOL DeleteSurfaceDC(HDC dc)
{
    return DcTable::Instance().Remove(dc) ? TRUE : FALSE;
}

bool TakeSurfaceDirtyRect(HDC handle, RECT* dirty)
{
    auto dc = FindDC(handle);
    if (!dc || IsRectEmpty(dc->dirty))
        return false;
    *dirty = dc->dirty;
    dc->dirty = RECT{};
    return true;
}

double GetDeviceScale(HDC handle)
{
    auto dc = FindDC(handle);
    return dc && dc->target ? dc->target->Scale() : 1.0;
}

HDC CreateCompatibleDC(HDC reference)
{
    auto dc = std::make_shared<DeviceContextObject>();
    dc->memory = true;
    dc->target = std::make_shared<Surface>(1, 1, 0xFF000000u, GetDeviceScale(reference));
    dc->area = Region(RECT{0, 0, 1, 1});
    SelectDefaults(dc->state);
    dc->state.bitmap = dc->defaultBitmap = CreateBitmapOver(dc->target);
    return DcTable::Instance().Add(std::move(dc));
}

BOOL DeleteDC(HDC handle)
{
    auto dc = FindDC(handle);
    if (!dc)
        return FALSE;
    if (dc->memory)
        DeleteObject(dc->defaultBitmap);
    return DcTable::Instance().Remove(handle) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object)
{
    auto dc = FindDC(handle);
    if (!dc || !object)
        return nullptr;
    PenInfo pen;
    BrushInfo brush;
    FontInfo font;
    if (GetPenInfo(object, pen))
        return std::exchange(dc->state.pen, object);
    if (GetBrushInfo(object, brush))
        return std::exchange(dc->state.brush, object);
    if (GetFontInfo(object, font))
        return std::exchange(dc->state.font, object);
    auto surface = GetBitmapSurface(object);
    if (!surface || !dc->memory)
        return nullptr;
    dc->target = surface;
    dc->area = Region(RECT{0, 0, surface->LogicalWidth(), surface->LogicalHeight()});
    return std::exchange(dc->state.bitmap, object);
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type)
{
    auto dc = FindDC(handle);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->state.pen;
    case OBJ_BRUSH:
        return dc->state.brush;
    case OBJ_FONT:
        return dc->state.font;
    case OBJ_BITMAP:
        return dc->state.bitmap;
    default:
        return nullptr;
    }
}

int SaveDC(HDC handle)
{
    auto dc = FindDC(handle);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int level)
{
    auto dc = FindDC(handle);
    if (!dc || level == 0)
        return FALSE;
    const int depth = static_cast<int>(dc->saved.size());
    const int target = level > 0 ? level : depth + level + 1;
    if (target < 1 || target > depth)
        return FALSE;
    const HGDIOBJ bitmap = dc->state.bitmap;
    dc->state = dc->saved[static_cast<std::size_t>(target - 1)];
    dc->saved.resize(static_cast<std::size_t>(target - 1));
    if (dc->memory && dc->state.bitmap != bitmap) {
        const HGDIOBJ restored = std::exchange(dc->state.bitmap, bitmap);
        SelectObject(handle, restored);
    }
    return TRUE;
}

BOOL SetViewportOrgEx(HDC handle, int x, int y, POINT* previous)
{
    return SetOrigin(handle, &DcState::viewport, POINT{x, y}, previous);
}

BOOL SetWindowOrgEx(HDC handle, int x, int y, POINT* previous)
{
    return SetOrigin(handle, &DcState::windowOrigin, POINT{x, y}, previous);
}

int SetMapMode(HDC handle, int mode)
{
    auto dc = FindDC(handle);
    // Drawing here is always one logical unit to one pixel.
    if (!dc || mode != MM_TEXT)
        return 0;
    return std::exchange(dc->state.mapMode, mode);
}

int GetMapMode(HDC handle)
{
    auto dc = FindDC(handle);
    return dc ? dc->state.mapMode : 0;
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom)
{
    auto dc = FindDC(handle);
    if (!dc)
        return ERROR_REGION;
    Region clip = dc->EffectiveClip();
    clip.Subtract(dc->ToSurface(RECT{left, top, right, bottom}));
    dc->state.clip = clip;
    dc->state.clipped = true;
    return RegionKind(clip);
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom)
{
    auto dc = FindDC(handle);
    if (!dc)
        return ERROR_REGION;
    Region clip = dc->EffectiveClip();
    clip.Intersect(dc->ToSurface(RECT{left, top, right, bottom}));
    dc->state.clip = clip;
    dc->state.clipped = true;
    return RegionKind(clip);
}

int GetClipBox(HDC handle, RECT* rect)
{
    auto dc = FindDC(handle);
    if (!dc || !rect)
        return ERROR_REGION;
    const Region clip = dc->EffectiveClip();
    const POINT shift = dc->ToSurface(0, 0);
    *rect = clip.IsEmpty() ? RECT{} : OffsetRectBy(clip.Bounds(), -shift.x, -shift.y);
    return RegionKind(clip);
}

COLORREF SetTextColor(HDC handle, COLORREF color)
{
    auto dc = FindDC(handle);
    return dc ? std::exchange(dc->state.textColor, color) : 0xFFFFFFFFu;
}

COLORREF GetTextColor(HDC handle)
{
    auto dc = FindDC(handle);
    return dc ? dc->state.textColor : 0;
}

COLORREF SetBkColor(HDC handle, COLORREF color)
{
    auto dc = FindDC(handle);
    return dc ? std::exchange(dc->state.backgroundColor, color) : 0xFFFFFFFFu;
}

int SetBkMode(HDC handle, int mode)
{
    auto dc = FindDC(handle);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    return std::exchange(dc->state.backgroundMode, mode);
}

int SetROP2(HDC handle, int mode)
{
    auto dc = FindDC(handle);
    if (!dc || mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    return std::exchange(dc->state.rop2, mode);
}

BOOL MoveToEx(HDC handle, int x, int y, POINT* previous)
{
    auto dc = FindDC(handle);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->state.current;
    dc->state.current = POINT{x, y};
    return TRUE;
}

} // namespace Platform
