#pragma once
// Pixel filling through a DC's clip with its raster operation.

#include "Platform/Gdi/GdiTypes.h"

namespace Platform {

struct DeviceContextObject;

// Fills a rectangle given in surface coordinates, snapped to device pixels.
void FillSurfaceRect(DeviceContextObject& dc, const RECT& surfaceRect, COLORREF color, int rop2 = R2_COPYPEN);
// Fills a rectangle of the target's device pixels through the DC's clip; the caller
// marks what it drew.
void FillDeviceRect(DeviceContextObject& dc, const RECT& deviceRect, COLORREF color, int rop2 = R2_COPYPEN);

} // namespace Platform
