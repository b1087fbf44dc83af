#pragma once
// The limits every PNG reader puts on libpng, so that a small file cannot make it
// allocate much. libpng loads text, suggested-palette, EXIF, calibration and profile
// chunks whole, at the size the chunk claims, and reports a claim over the chunk
// limit only as a benign error, which reading treats as a warning: a 141-byte file
// could make it allocate and clear 2 GiB. These chunks are never used here, so they
// are skipped unread like unknown chunks, and no single libpng allocation may exceed
// MaxPngAllocation whatever a file claims.

#include <png.h>

namespace Platform::Gdiplus {

constexpr png_alloc_size_t MaxPngAllocation = png_alloc_size_t{8} << 20;

// A read structure like png_create_read_struct's, with the limits set; null when
// memory runs out.
png_structp CreateLimitedPngReader(png_error_ptr onError, png_error_ptr onWarning);

} // namespace Platform::Gdiplus
