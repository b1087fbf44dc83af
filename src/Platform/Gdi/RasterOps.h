#pragma once
// Pixel filling through a DC's clip with its raster operation.

#include "Platform/Gdi/GdiTypes.h"

namespace Platform {

struct DeviceContextObject;

// Fills a rectangle given in surface coordinates.
void FillSurfaceRect(DeviceContextObject& dc, const RECT& surfaceRect, COLORREF color, int rop2 = R2_COPYPEN);

} // namespace Platform
