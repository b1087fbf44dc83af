#pragma once
// Decodes a PNG into a RasterImage: RGB becomes 24 bits, RGBA 24 bits with an alpha
// plane, grey and palette images keep 1, 4 or 8 bits with a palette (2-bit samples
// widen to 4 bits), grey with alpha becomes 8 bits with an alpha plane, and a palette
// transparency chunk becomes per-entry palette alpha. Interlaced images are read in
// their seven passes by the library.

class RasterFile;
class RasterImage;

class RasterPngReader {
public:
    // False, and result untouched, for anything that is not a readable PNG.
    static bool Read(RasterFile& file, RasterImage& result);
};
