#pragma once
// Encodes part of a window's surface for the wire: a lossless PNG (opaque RGB), made
// for speed over size, which the browser decodes natively.

#include "Platform/Win/WinTypes.h"

#include <string>

namespace Platform {
class Surface;
}

namespace Platform::Web {

// The pixels of area (inside the surface) as PNG bytes; empty when area is empty.
std::string EncodeFrame(const Surface& surface, const RECT& area);

} // namespace Platform::Web
