#include "Platform/Gdi/DeviceBits.h"

#include "Platform/Gdi/DeviceContextObject.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Win/Surface.h"

#include <cstdlib>
#include <cstring>

namespace Platform {
namespace {

bool SupportedDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

// Reads pixels of a DIB as ARGB words.
class DibReader {
public:
    DibReader(const void* bits, const BITMAPINFO& info)
        : bits(static_cast<const std::uint8_t*>(bits)), header(info.bmiHeader), colors(info.bmiColors),
          stride(DibStride(header.biWidth, header.biBitCount)), rows(std::abs(header.biHeight))
    {
    }

    // x from the left, row from the bottom for a bottom-up bitmap (the order of storage).
    std::uint32_t Pixel(int x, int storedRow) const
    {
        const std::uint8_t* row = bits + static_cast<std::size_t>(storedRow) * stride;
        switch (header.biBitCount) {
        case 1:
            return Palette((row[x >> 3] >> (7 - (x & 7))) & 1);
        case 4:
            return Palette((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
        case 8:
            return Palette(row[x]);
        case 24:
            return 0xFF000000u | (row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3];
        default:
            return 0xFF000000u | (row[x * 4 + 2] << 16) | (row[x * 4 + 1] << 8) | row[x * 4];
        }
    }

    // The stored row that holds a picture row counted from the bottom.
    int StoredRowFromBottom(int fromBottom) const { return header.biHeight > 0 ? fromBottom : rows - 1 - fromBottom; }
    int Rows() const { return rows; }

private:
    std::uint32_t Palette(int index) const
    {
        const int entries = header.biClrUsed ? static_cast<int>(header.biClrUsed) : 1 << header.biBitCount;
        if (index >= entries)
            return 0xFF000000u;
        const RGBQUAD& c = colors[index];
        return 0xFF000000u | (c.rgbRed << 16) | (c.rgbGreen << 8) | c.rgbBlue;
    }

    const std::uint8_t* bits;
    const BITMAPINFOHEADER& header;
    const RGBQUAD* colors;
    int stride;
    int rows;
};

// Where a DIB's source area goes: a logical rectangle of the DC, and lines
// [firstLine, lastLine) of the bitmap (counted from its bottom) that may be put.
struct DibPlacement {
    RECT destination;
    int xSrc, ySrc, width, height;
    int firstLine, lastLine;
};

// Puts the source area on the device pixels under the destination: each device pixel
// takes the source pixel under its centre, so a DIB as large as the destination in
// device pixels lands one for one, and one in logical pixels is scaled up.
void PutDib(DeviceContextObject& dc, const DibReader& reader, const DibPlacement& place, LONG dibWidth)
{
    const RECT destination = dc.ToSurface(place.destination);
    Surface& surface = *dc.target;
    const RECT device = surface.ToDevice(destination);
    const int deviceWidth = device.right - device.left, deviceHeight = device.bottom - device.top;
    if (deviceWidth <= 0 || deviceHeight <= 0)
        return;
    Region area = dc.DeviceClip();
    area.Intersect(device);
    surface.Flush();
    for (const RECT& part : area.Rects()) {
        for (int y = part.top; y < part.bottom; ++y) {
            const int row = static_cast<int>(static_cast<std::int64_t>(y - device.top) * place.height / deviceHeight);
            // Rows of the source area counted from its bottom edge.
            const int fromBottom = place.ySrc + (place.height - 1 - row);
            if (fromBottom < place.firstLine || fromBottom >= place.lastLine)
                continue;
            const int stored = reader.StoredRowFromBottom(fromBottom);
            auto* out =
                reinterpret_cast<std::uint32_t*>(surface.Data() + static_cast<std::size_t>(y) * surface.Stride());
            for (int x = part.left; x < part.right; ++x) {
                const int sourceX = place.xSrc + static_cast<int>(static_cast<std::int64_t>(x - device.left) *
                                                                  place.width / deviceWidth);
                if (sourceX >= 0 && sourceX < dibWidth)
                    out[x] = reader.Pixel(sourceX, stored);
            }
        }
    }
    surface.MarkDirty();
    dc.MarkDrawn(destination);
}

std::shared_ptr<DeviceContextObject> DibTarget(HDC handle, const void* bits, const BITMAPINFO* info)
{
    auto dc = FindDC(handle);
    if (!dc || !dc->target || !bits || !info || !SupportedDepth(info->bmiHeader.biBitCount) ||
        info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight == 0 || info->bmiHeader.biCompression != BI_RGB)
        return nullptr;
    return dc;
}

} // namespace

int SetDIBitsToDevice(HDC handle, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT)
{
    auto dc = DibTarget(handle, bits, info);
    if (!dc)
        return 0;
    const DibReader reader(bits, *info);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const int firstLine = static_cast<int>(startScan);
    const int lastLine = std::min(firstLine + static_cast<int>(lines), reader.Rows());
    PutDib(*dc, reader, DibPlacement{RECT{xDest, yDest, xDest + w, yDest + h}, xSrc, ySrc, w, h, firstLine, lastLine},
           info->bmiHeader.biWidth);
    return std::max(0, lastLine - firstLine);
}

int StretchDIBits(HDC handle, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT, DWORD rop)
{
    auto dc = DibTarget(handle, bits, info);
    if (!dc || rop != SRCCOPY || destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    const DibReader reader(bits, *info);
    PutDib(*dc, reader,
           DibPlacement{RECT{xDest, yDest, xDest + destWidth, yDest + destHeight}, xSrc, ySrc, srcWidth, srcHeight, 0,
                        reader.Rows()},
           info->bmiHeader.biWidth);
    return destHeight;
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT)
{
    std::shared_ptr<Surface> surface = GetBitmapSurface(bitmap);
    if (!surface || !bits || !info)
        return 0;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const int bitCount = header.biBitCount;
    if ((bitCount != 24 && bitCount != 32) || header.biWidth != surface->Width())
        return 0;
    surface->Flush();
    const int stride = DibStride(header.biWidth, bitCount);
    const int rows = std::min(std::abs(header.biHeight), surface->Height());
    const int last = std::min(static_cast<int>(start + lines), rows);
    auto* out = static_cast<std::uint8_t*>(bits);
    for (int stored = static_cast<int>(start); stored < last; ++stored) {
        const int surfaceRow = header.biHeight > 0 ? surface->Height() - 1 - stored : stored;
        const auto* in = reinterpret_cast<const std::uint32_t*>(surface->Data() + static_cast<std::size_t>(surfaceRow) *
                                                                                      surface->Stride());
        std::uint8_t* row = out + static_cast<std::size_t>(stored - start) * stride;
        for (int x = 0; x < header.biWidth; ++x) {
            const std::uint32_t pixel = in[x];
            std::uint8_t* target = row + x * (bitCount / 8);
            target[0] = static_cast<std::uint8_t>(pixel);
            target[1] = static_cast<std::uint8_t>(pixel >> 8);
            target[2] = static_cast<std::uint8_t>(pixel >> 16);
            if (bitCount == 32)
                target[3] = static_cast<std::uint8_t>(pixel >> 24);
        }
    }
    return std::max(0, last - static_cast<int>(start));
}

} // namespace Platform
