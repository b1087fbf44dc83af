#pragma once
// Resampling by area averaging: every target pixel is the mean of the source area it
// covers, partly covered source pixels counting by their share. Colours are weighted
// by alpha, so transparent pixels do not darken their neighbours. Works for any
// pair of sizes, although it is meant for reductions.

#include <memory>

namespace Platform::Gdiplus {

class PixelBuffer;

// Null when the target size is empty, beyond the pixel limit, or memory runs out.
std::unique_ptr<PixelBuffer> ResampleArea(const PixelBuffer& source, int width, int height);

} // namespace Platform::Gdiplus
