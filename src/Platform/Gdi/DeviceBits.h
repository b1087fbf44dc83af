#pragma once
// Device-independent bitmaps: rows of pixels with a header (and a palette for the
// smaller depths) that are put on a device context or read back from a bitmap.
// Rows are bottom-up for a positive height and top-down for a negative one, each
// padded to a multiple of four bytes.

#include "Platform/Gdi/GdiTypes.h"

namespace Platform {

using BYTE = std::uint8_t;

struct BITMAPINFOHEADER {
    DWORD biSize = sizeof(BITMAPINFOHEADER);
    LONG biWidth = 0;
    LONG biHeight = 0;
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

// The palette of a 1-, 4- or 8-bit bitmap follows the header: 2, 16 or 256 entries
// (biClrUsed when set), so a caller allocates the header and its entries together.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

// Puts lines [startScan, startScan + lines) of the bitmap's rows (counted from the
// bottom for a bottom-up bitmap) on the DC: the part at (xSrc, ySrc) of size width x
// height, with ySrc counted from the bottom too, goes to (xDest, yDest), through the
// DC's origin and clip; at a device scale each bitmap pixel covers a logical one.
// Depths 1, 4, 8 (with palette), 24 and 32. Returns the number of lines put, 0 on
// failure.
int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
// Puts the source area (xSrc, ySrc, srcWidth x srcHeight, ySrc from the bottom as
// above) of the bitmap on the DC's logical rectangle, scaled: a source as large as the
// rectangle's device pixels lands on them one for one. Only SRCCOPY. Returns the
// destination's height, 0 on failure.
int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
// Reads lines [start, start + lines) of the bitmap (a compatible bitmap or one over a
// window surface) into bits in the layout the header asks for: 24 or 32 bits, bottom-up
// or top-down. The bits are the bitmap's device pixels: the header's width must be its
// width in device pixels. Returns the lines read.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);

// Bytes per row of a bitmap of that width and depth.
constexpr int DibStride(int width, int bitCount)
{
    return ((width * bitCount + 31) / 32) * 4;
}

} // namespace Platform
