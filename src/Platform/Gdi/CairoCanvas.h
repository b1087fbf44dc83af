#pragma once
// A Cairo context over a DC's target: clipped to what the DC may draw on (and to an
// extra logical rectangle when given), logical coordinates, no antialiasing for shapes.
// The target's device scale is Cairo's, so shapes and text are drawn at device
// resolution; the clip's edges are whole device pixels.

#include "Platform/Gdi/GdiTypes.h"

struct _cairo;

namespace Platform {

struct DeviceContextObject;

class CairoCanvas {
public:
    explicit CairoCanvas(DeviceContextObject& dc, const RECT* clip = nullptr);
    ~CairoCanvas();
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

    _cairo* Get() const { return cairo; }
    // Notes a logical rectangle as drawn, for presentation.
    void MarkDrawn(const RECT& logical);
    // The device pixels a logical rectangle covers on the target.
    RECT ToDevice(const RECT& logical) const;
    // From here on user coordinates are the target's device pixels (pictures placed
    // one for one).
    void UseDevicePixels();

private:
    DeviceContextObject& dc;
    _cairo* cairo;
};

} // namespace Platform
