// Drawing RasterImage onto device contexts.

#include "Imaging/RasterImage.h"

#include "Platform/Gdi/BackBuffer.h"
#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/DeviceBits.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdi/ScopedDcState.h"
#include "Platform/Win/Region.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Platform;

namespace {

BITMAPINFO TrueColorHeader(int width, int height)
{
    BITMAPINFO info;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biBitCount = 24;
    return info;
}

// Device pixels of a logical length at the DC's scale.
int DeviceLength(int logical, double scale)
{
    return static_cast<int>(std::ceil(logical * scale - 1e-9));
}

// What the device shows under area, as bottom-up 24-bit rows of device pixels
// (deviceWidth x deviceHeight).
bool ReadDevice(HDC dc, const RECT& area, int deviceWidth, int deviceHeight, std::vector<std::uint8_t>& rows)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    bool read = false;
    {
        BackBuffer copy(dc, bitmap, RECT{0, 0, width, height});
        read = BitBlt(copy.Dc(), 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    }
    // The bits are read once the bitmap is out of the memory context.
    BITMAPINFO info = TrueColorHeader(deviceWidth, deviceHeight);
    read = read && GetDIBits(dc, bitmap, 0, static_cast<UINT>(deviceHeight), rows.data(), &info, DIB_RGB_COLORS) ==
                       deviceHeight;
    DeleteObject(bitmap);
    return read;
}

} // namespace

int RasterImage::Opacity(int x, int y) const
{
    int opacity = HasAlpha() ? AlphaRow(y)[x] : 255;
    if (bits <= 8) {
        const int index = PixelIndex(x, y);
        if (transparentIndex != -1 && index == transparentIndex)
            return 0;
        if (paletteAlpha && index < static_cast<int>(palette.size()))
            opacity = (opacity * (palette[index].alpha + 1)) >> 8;
    } else if (transparentIndex != -1) {
        const Color color = PixelColor(x, y);
        if (Color{color.blue, color.green, color.red, 0} == GetCanvasColor())
            return 0;
    }
    return opacity;
}

bool RasterImage::DrawTo(HDC__* dc, int x, int y, int drawWidth, int drawHeight) const
{
    if (IsEmpty() || !dc || drawWidth == 0 || drawHeight == 0)
        return false;
    if (drawWidth < 0)
        drawWidth = width;
    if (drawHeight < 0)
        drawHeight = height;
    ScopedDcState saved(dc);
    RECT clip;
    GetClipBox(dc, &clip);
    const RECT area = IntersectRects(RECT{x, y, x + drawWidth, y + drawHeight}, clip);
    if (IsRectEmpty(area))
        return true;
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    // The picture is sampled at the device's pixels, so a picture made for the device
    // (twice as large at scale 2) lands one for one.
    const double scale = GetDeviceScale(dc);
    const int deviceWidth = DeviceLength(areaWidth, scale), deviceHeight = DeviceLength(areaHeight, scale);
    const int drawDeviceWidth = DeviceLength(drawWidth, scale), drawDeviceHeight = DeviceLength(drawHeight, scale);
    const int skipX = static_cast<int>(std::lround((area.left - x) * scale));
    const int skipY = static_cast<int>(std::lround((area.top - y) * scale));
    const int rowBytes = DibStride(deviceWidth, 24);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes) * deviceHeight);
    const bool blended = IsBlended();
    if (blended && !ReadDevice(dc, area, deviceWidth, deviceHeight, rows))
        return false;

    for (int j = 0; j < deviceHeight; ++j) {
        const int dy = skipY + j;
        // Source row counted from the top, then its storage row.
        const int fromTop =
            drawDeviceHeight == height
                ? std::min(dy, height - 1)
                : std::clamp((static_cast<int>((static_cast<std::int64_t>(dy) + 1) * height + drawDeviceHeight - 1) /
                              drawDeviceHeight) -
                                 1,
                             0, height - 1);
        const int stored = height - 1 - fromTop;
        std::uint8_t* out = rows.data() + static_cast<std::size_t>(deviceHeight - 1 - j) * rowBytes;
        for (int i = 0; i < deviceWidth; ++i) {
            const int dx = skipX + i;
            const int sx = drawDeviceWidth == width
                               ? std::min(dx, width - 1)
                               : std::clamp(static_cast<int>(static_cast<std::int64_t>(dx) * width / drawDeviceWidth),
                                            0, width - 1);
            const Color color = PixelColor(sx, stored);
            const int a = blended ? Opacity(sx, stored) : 255;
            std::uint8_t* pixel = out + i * 3;
            if (a == 0)
                continue;
            if (a == 255) {
                pixel[0] = color.blue;
                pixel[1] = color.green;
                pixel[2] = color.red;
                continue;
            }
            pixel[0] = static_cast<std::uint8_t>((pixel[0] * (255 - a) + color.blue * a) >> 8);
            pixel[1] = static_cast<std::uint8_t>((pixel[1] * (255 - a) + color.green * a) >> 8);
            pixel[2] = static_cast<std::uint8_t>((pixel[2] * (255 - a) + color.red * a) >> 8);
        }
    }
    const BITMAPINFO info = TrueColorHeader(deviceWidth, deviceHeight);
    return StretchDIBits(dc, area.left, area.top, areaWidth, areaHeight, 0, 0, deviceWidth, deviceHeight, rows.data(),
                         &info, DIB_RGB_COLORS, SRCCOPY) > 0;
}

std::vector<std::uint8_t> RasterImage::DibHeader() const
{
    std::vector<std::uint8_t> header(sizeof(BITMAPINFOHEADER) + palette.size() * sizeof(RGBQUAD));
    BITMAPINFOHEADER info;
    info.biWidth = width;
    info.biHeight = height;
    info.biBitCount = static_cast<WORD>(bits);
    info.biClrUsed = static_cast<DWORD>(palette.size());
    std::memcpy(header.data(), &info, sizeof info);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const RGBQUAD entry{palette[i].blue, palette[i].green, palette[i].red, 0};
        std::memcpy(header.data() + sizeof info + i * sizeof entry, &entry, sizeof entry);
    }
    return header;
}

HGDIOBJ__* RasterImage::ToDeviceBitmap(HDC__* dc) const
{
    if (IsEmpty())
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (!bitmap)
        return nullptr;
    BackBuffer target(dc, bitmap, RECT{0, 0, width, height});
    const std::vector<std::uint8_t> header = DibHeader();
    SetDIBitsToDevice(target.Dc(), 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels.data(), reinterpret_cast<const BITMAPINFO*>(header.data()),
                      DIB_RGB_COLORS);
    return bitmap;
}
