#include "Platform/Gdi/CairoCanvas.h"

#include "Platform/Gdi/DeviceContextObject.h"
#include "Platform/Win/Surface.h"

#include <cairo.h>

namespace Platform {

CairoCanvas::CairoCanvas(DeviceContextObject& dc, const RECT* clip)
    : dc(dc), cairo(cairo_create(dc.target->CairoSurface()))
{
    Region area = dc.EffectiveClip();
    if (clip)
        area.Intersect(dc.ToSurface(*clip));
    for (const RECT& part : area.Rects())
        cairo_rectangle(cairo, part.left, part.top, part.right - part.left, part.bottom - part.top);
    cairo_clip(cairo);
    const POINT origin = dc.ToSurface(0, 0);
    cairo_translate(cairo, origin.x, origin.y);
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
}

CairoCanvas::~CairoCanvas()
{
    cairo_destroy(cairo);
}

void CairoCanvas::MarkDrawn(const RECT& logical)
{
    dc.MarkDrawn(dc.ToSurface(logical));
}

} // namespace Platform
