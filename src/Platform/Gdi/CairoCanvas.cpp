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
    cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    // The clip is laid in device pixels, with the rule every other drawing snaps by.
    const double scale = dc.target->Scale();
    for (const RECT& part : Platform::ToDevice(*dc.target, area).Rects())
        cairo_rectangle(cairo, part.left / scale, part.top / scale, (part.right - part.left) / scale,
                        (part.bottom - part.top) / scale);
    cairo_clip(cairo);
    const POINT origin = dc.ToSurface(0, 0);
    cairo_translate(cairo, origin.x, origin.y);
}

CairoCanvas::~CairoCanvas()
{
    cairo_destroy(cairo);
}

void CairoCanvas::MarkDrawn(const RECT& logical)
{
    dc.MarkDrawn(dc.ToSurface(logical));
}

RECT CairoCanvas::ToDevice(const RECT& logical) const
{
    return dc.target->ToDevice(dc.ToSurface(logical));
}

void CairoCanvas::UseDevicePixels()
{
    const double scale = dc.target->Scale();
    cairo_identity_matrix(cairo);
    cairo_scale(cairo, 1.0 / scale, 1.0 / scale);
}

} // namespace Platform
