#pragma once
// Turning and mirroring stored pixels by an Exif orientation, so that a photo taken
// with the camera on its side is held upright.

#include <memory>

namespace Platform::Gdiplus {

class PixelBuffer;

// True for the orientations 5 to 8, whose upright picture has width and height swapped.
bool OrientationSwapsSides(int orientation);

// The orientation that shows the stored pixels of an orientation turned by quarter
// turns clockwise on top of it (negative counts turn counter-clockwise).
int TurnedOrientation(int orientation, int quarterTurns);

// The upright picture of pixels stored with the Exif orientation (1 to 8; any other
// value counts as 1 and gives a plain copy). Null when memory runs out.
std::unique_ptr<PixelBuffer> OrientPixels(const PixelBuffer& stored, int orientation);

} // namespace Platform::Gdiplus
