#pragma once
// The object behind an HDC, for the drawing functions.

#include "Platform/Gdi/GdiTypes.h"
#include "Platform/Win/Region.h"

#include <memory>
#include <vector>

namespace Platform {

class Surface;

struct DcState {
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;
    COLORREF textColor = 0;
    COLORREF backgroundColor = 0xFFFFFF;
    int backgroundMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    POINT viewport;
    // Logical point that lands on the viewport origin.
    POINT windowOrigin;
    int mapMode = MM_TEXT;
    POINT current;
    // Extra clipping in surface coordinates; unset means the DC's whole area.
    bool clipped = false;
    Region clip;
};

struct DeviceContextObject {
    std::shared_ptr<Surface> target;
    // Surface position of the target window's origin (0 for memory DCs).
    POINT origin;
    // Where a window DC may draw at all (surface coordinates); memory DCs: the bitmap.
    Region area;
    bool memory = false;
    // The 1 x 1 bitmap a memory DC starts with; deleted with the DC.
    HGDIOBJ defaultBitmap = nullptr;
    HWND window = nullptr;
    DcState state;
    std::vector<DcState> saved;
    RECT dirty;

    // Logical to surface coordinates.
    POINT ToSurface(int x, int y) const;
    RECT ToSurface(const RECT& rect) const;
    // The pixels drawing may touch, in surface coordinates.
    Region EffectiveClip() const;
    // The same in the target's device pixels.
    Region DeviceClip() const;
    void MarkDrawn(const RECT& surfaceRect);
};

std::shared_ptr<DeviceContextObject> FindDC(HDC dc);
// A region of surface coordinates in the device pixels of surface, within its buffer.
Region ToDevice(const Surface& surface, const Region& logical);

} // namespace Platform
