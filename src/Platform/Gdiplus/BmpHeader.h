#pragma once
// The file and info headers of a Windows bitmap, checked for consistency.

#include "Platform/Gdiplus/GdiplusTypes.h"

#include <cstdint>

namespace Platform::Gdiplus {

class ByteSource;

struct BmpHeader {
    enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = Rgb;
    std::uint32_t pixelOffset = 0;
    std::uint32_t paletteOffset = 0;
    int paletteEntrySize = 4;
    int paletteCount = 0;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha; used for 16 and 32 bits

    // Reads the headers from the start of the source. GenericError for a damaged
    // header, NotImplemented for a variant this reader does not handle, ValueOverflow
    // beyond the pixel limit.
    Status Read(ByteSource& source);
    // Bytes of one stored row of an uncompressed bitmap, padded to four bytes.
    std::uint64_t RowBytes() const { return (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4; }
    bool Compressed() const { return compression == Rle8 || compression == Rle4; }

private:
    Status ReadInfoHeader(const std::uint8_t* header, std::uint32_t size);
    void SetMasks(const std::uint8_t* header, std::uint32_t size, const std::uint8_t* afterHeader);
    Status Check() const;
};

} // namespace Platform::Gdiplus
