#pragma once
// Off-screen drawing for a paint pass: a memory context over a bitmap that stands for
// an area of the target, so that nothing half-drawn reaches the screen. A kept bitmap
// is brought to the target's device scale first, so the copy stays one for one. Coordinates of
// the target draw into the buffer; Present copies the buffer to its area. The context
// and a bitmap of its own are released, and a kept bitmap deselected, when the buffer
// goes out of scope.

#include "Platform/Gdi/GdiTypes.h"

namespace Platform {

class BackBuffer {
public:
    // A new bitmap the size of area.
    BackBuffer(HDC target, const RECT& area);
    // The caller's bitmap, kept between paints, standing for area from its top left.
    BackBuffer(HDC target, HBITMAP kept, const RECT& area);
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    HDC Dc() const { return memory; }
    void Present();

private:
    HDC target;
    RECT area;
    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ previous;
    bool ownsBitmap = false;
};

} // namespace Platform
