#pragma once
// A set of pixels made of rectangles: update regions and clip areas. Copies are deep.

#include "Platform/Win/WinTypes.h"

#include <vector>

struct _cairo_region;

namespace Platform {

class Region {
public:
    Region();
    explicit Region(const RECT& rect);
    Region(const Region& other);
    Region& operator=(const Region& other);
    ~Region();

    bool IsEmpty() const;
    RECT Bounds() const;
    std::vector<RECT> Rects() const;

    void Add(const RECT& rect);
    void Add(const Region& other);
    void Subtract(const RECT& rect);
    void Intersect(const RECT& rect);
    void Intersect(const Region& other);
    void Offset(int dx, int dy);
    void Clear();

private:
    _cairo_region* region;
};

bool IsRectEmpty(const RECT& rect);
RECT IntersectRects(const RECT& a, const RECT& b);
// The smallest rectangle holding both; an empty one adds nothing.
RECT UnionRects(const RECT& a, const RECT& b);
RECT OffsetRectBy(const RECT& rect, int dx, int dy);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL OffsetRect(RECT* rect, int dx, int dy);

} // namespace Platform
