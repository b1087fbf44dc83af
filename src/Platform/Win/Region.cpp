#include "Platform/Win/Region.h"

#include <cairo.h>

#include <algorithm>

namespace Platform {
namespace {

cairo_rectangle_int_t ToCairo(const RECT& rect)
{
    return {rect.left, rect.top, std::max(0, rect.right - rect.left), std::max(0, rect.bottom - rect.top)};
}

RECT FromCairo(const cairo_rectangle_int_t& rect)
{
    return RECT{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
}

} // namespace

Region::Region() : region(cairo_region_create()) {}

Region::Region(const RECT& rect) : region(nullptr)
{
    const cairo_rectangle_int_t area = ToCairo(rect);
    region = cairo_region_create_rectangle(&area);
}

Region::Region(const Region& other) : region(cairo_region_copy(other.region)) {}

Region& Region::operator=(const Region& other)
{
    if (this != &other) {
        cairo_region_t* copy = cairo_region_copy(other.region);
        cairo_region_destroy(region);
        region = copy;
    }
    return *this;
}

Region::~Region()
{
    cairo_region_destroy(region);
}

bool Region::IsEmpty() const
{
    return cairo_region_is_empty(region);
}

RECT Region::Bounds() const
{
    cairo_rectangle_int_t extents;
    cairo_region_get_extents(region, &extents);
    return FromCairo(extents);
}

std::vector<RECT> Region::Rects() const
{
    std::vector<RECT> rects;
    const int count = cairo_region_num_rectangles(region);
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t rect;
        cairo_region_get_rectangle(region, i, &rect);
        rects.push_back(FromCairo(rect));
    }
    return rects;
}

void Region::Add(const RECT& rect)
{
    if (IsRectEmpty(rect))
        return;
    const cairo_rectangle_int_t area = ToCairo(rect);
    cairo_region_union_rectangle(region, &area);
}

void Region::Add(const Region& other)
{
    cairo_region_union(region, other.region);
}

void Region::Subtract(const RECT& rect)
{
    if (IsRectEmpty(rect))
        return;
    const cairo_rectangle_int_t area = ToCairo(rect);
    cairo_region_subtract_rectangle(region, &area);
}

void Region::Intersect(const RECT& rect)
{
    const cairo_rectangle_int_t area = ToCairo(rect);
    cairo_region_intersect_rectangle(region, &area);
}

void Region::Intersect(const Region& other)
{
    cairo_region_intersect(region, other.region);
}

void Region::Offset(int dx, int dy)
{
    cairo_region_translate(region, dx, dy);
}

void Region::Clear()
{
    cairo_region_destroy(region);
    region = cairo_region_create();
}

bool IsRectEmpty(const RECT& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT IntersectRects(const RECT& a, const RECT& b)
{
    RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return IsRectEmpty(result) ? RECT{} : result;
}

RECT UnionRects(const RECT& a, const RECT& b)
{
    if (IsRectEmpty(a))
        return b;
    if (IsRectEmpty(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT OffsetRectBy(const RECT& rect, int dx, int dy)
{
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

BOOL PtInRect(const RECT* rect, POINT point)
{
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL InflateRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    *rect = RECT{rect->left - dx, rect->top - dy, rect->right + dx, rect->bottom + dy};
    return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    *rect = OffsetRectBy(*rect, dx, dy);
    return TRUE;
}

} // namespace Platform
