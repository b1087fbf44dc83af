#include "Imaging/RasterImage.h"

#include "Imaging/RasterMemFile.h"
#include "Imaging/RasterPngReader.h"
#include "Platform/Resources/Resources.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

int NormalizedBits(int requested)
{
    if (requested <= 1)
        return 1;
    if (requested <= 4)
        return 4;
    if (requested <= 8)
        return 8;
    return 24;
}

int ColorDistance(const RasterImage::Color& a, const RasterImage::Color& b)
{
    const int blue = a.blue - b.blue;
    const int green = a.green - b.green;
    const int red = a.red - b.red;
    return blue * blue + green * green + red * red;
}

} // namespace

RasterImage::RasterImage() = default;
RasterImage::~RasterImage() = default;
RasterImage::RasterImage(const RasterImage&) = default;
RasterImage& RasterImage::operator=(const RasterImage&) = default;
RasterImage::RasterImage(RasterImage&&) noexcept = default;
RasterImage& RasterImage::operator=(RasterImage&&) noexcept = default;

bool RasterImage::Create(int newWidth, int newHeight, int bitsPerPixel)
{
    if (newWidth <= 0 || newHeight <= 0)
        return false;
    const int newBits = NormalizedBits(bitsPerPixel);
    if (static_cast<float>(newWidth) * static_cast<float>(newHeight) * static_cast<float>(newBits) / 8.0f >
        MaxPixelBytes)
        return false;
    const int newStride = static_cast<int>((static_cast<std::int64_t>(newWidth) * newBits + 31) / 32 * 4);
    try {
        std::vector<std::uint8_t> newPixels(static_cast<std::size_t>(newStride) * newHeight);
        std::vector<Color> newPalette(newBits <= 8 ? std::size_t{1} << newBits : 0);
        pixels = std::move(newPixels);
        palette = std::move(newPalette);
    } catch (const std::bad_alloc&) {
        return false;
    }
    alpha.clear();
    width = newWidth;
    height = newHeight;
    bits = newBits;
    stride = newStride;
    return true;
}

bool RasterImage::CreateFromPixels(const std::uint8_t* rows, int newWidth, int newHeight, int bitsPerPixel,
                                   int bytesPerRow, bool flip)
{
    if (!rows || bitsPerPixel != 32 || bytesPerRow < newWidth * 4)
        return false;
    RasterImage result;
    if (!result.Create(newWidth, newHeight, 24) || !result.AddAlpha())
        return false;
    for (int y = 0; y < newHeight; ++y) {
        const std::uint8_t* source = rows + static_cast<std::size_t>(y) * bytesPerRow;
        const int stored = flip ? newHeight - 1 - y : y;
        std::uint8_t* target = result.Row(stored);
        std::uint8_t* targetAlpha = result.AlphaRow(stored);
        for (int x = 0; x < newWidth; ++x) {
            target[x * 3] = source[x * 4];
            target[x * 3 + 1] = source[x * 4 + 1];
            target[x * 3 + 2] = source[x * 4 + 2];
            targetAlpha[x] = source[x * 4 + 3];
        }
    }
    TakeOver(result);
    return true;
}

bool RasterImage::CopyFrom(const RasterImage& source)
{
    if (source.IsEmpty())
        return false;
    try {
        RasterImage copy;
        copy.CopyPropertiesFrom(source);
        copy.width = source.width;
        copy.height = source.height;
        copy.bits = source.bits;
        copy.stride = source.stride;
        copy.palette = source.palette;
        copy.pixels = source.pixels;
        copy.alpha = source.alpha;
        TakeOver(copy);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void RasterImage::TakeOver(RasterImage& other)
{
    if (&other == this)
        return;
    *this = std::move(other);
    other = RasterImage();
}

bool RasterImage::LoadPng(RasterFile& file)
{
    return RasterPngReader::Read(file, *this);
}

bool RasterImage::LoadPngResource(Platform::HINSTANCE__* module, Platform::HRSRC__* resource)
{
    using namespace Platform;
    const DWORD size = SizeofResource(module, resource);
    const void* bytes = LockResource(LoadResource(module, resource));
    if (!bytes || size == 0)
        return false;
    RasterMemFile file(bytes, size);
    return LoadPng(file);
}

void RasterImage::CopyPropertiesFrom(const RasterImage& source)
{
    transparentIndex = source.transparentIndex;
    canvas = source.canvas;
    paletteAlpha = source.paletteAlpha;
}

bool RasterImage::MakeLike(RasterImage& result, int newWidth, int newHeight) const
{
    if (!result.Create(newWidth, newHeight, bits))
        return false;
    result.palette = palette;
    result.CopyPropertiesFrom(*this);
    return true;
}

bool RasterImage::DropOpaqueAlpha()
{
    if (std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t value) { return value != 255; }))
        return false;
    alpha.clear();
    alpha.shrink_to_fit();
    return true;
}

bool RasterImage::AddAlpha()
{
    if (IsEmpty())
        return false;
    if (alpha.empty()) {
        try {
            alpha.assign(static_cast<std::size_t>(width) * height, 255);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    return true;
}

RasterImage::Color RasterImage::GetCanvasColor() const
{
    if (bits > 8 || transparentIndex == -1)
        return canvas;
    if (transparentIndex < 0 || transparentIndex >= static_cast<int>(palette.size()))
        return Color{};
    return palette[transparentIndex];
}

int RasterImage::PixelIndex(int x, int y) const
{
    const std::uint8_t* row = Row(y);
    switch (bits) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
        return row[x];
    }
}

void RasterImage::SetPixelIndex(int x, int y, int index)
{
    std::uint8_t* row = Row(y);
    switch (bits) {
    case 1: {
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<std::uint8_t>(index & 1 ? row[x >> 3] | mask : row[x >> 3] & ~mask);
        break;
    }
    case 4:
        row[x >> 1] = static_cast<std::uint8_t>((x & 1) ? (row[x >> 1] & 0xF0) | (index & 0x0F)
                                                        : (row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
        break;
    default:
        row[x] = static_cast<std::uint8_t>(index);
        break;
    }
}

RasterImage::Color RasterImage::PixelColor(int x, int y) const
{
    if (bits == 24) {
        const std::uint8_t* sample = Row(y) + x * 3;
        return Color{sample[0], sample[1], sample[2], 0};
    }
    const int index = PixelIndex(x, y);
    return index < static_cast<int>(palette.size()) ? palette[index] : Color{};
}

bool RasterImage::IsGreyPalette() const
{
    for (std::size_t i = 0; i < palette.size(); ++i)
        if (palette[i].blue != i || palette[i].green != i || palette[i].red != i)
            return false;
    return palette.size() == 256;
}

int RasterImage::NearestIndex(Color color) const
{
    if (color.blue == color.green && color.green == color.red && IsGreyPalette())
        return color.blue;
    int best = 0;
    int bestDistance = ColorDistance(color, palette.empty() ? Color{} : palette[0]);
    for (std::size_t i = 1; i < palette.size() && bestDistance > 0; ++i) {
        const int distance = ColorDistance(color, palette[i]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void RasterImage::SetPixelColor(int x, int y, Color color)
{
    if (bits == 24) {
        std::uint8_t* sample = Row(y) + x * 3;
        sample[0] = color.blue;
        sample[1] = color.green;
        sample[2] = color.red;
    } else {
        SetPixelIndex(x, y, NearestIndex(color));
    }
}

bool RasterImage::Crop(int left, int top, int right, int bottom)
{
    RasterImage result;
    if (!CopyArea(left, top, right, bottom, result))
        return false;
    TakeOver(result);
    return true;
}

bool RasterImage::CopyArea(int left, int top, int right, int bottom, RasterImage& result) const
{
    if (IsEmpty())
        return false;
    left = std::clamp(left, 0, width);
    right = std::clamp(right, 0, width);
    top = std::clamp(top, 0, height);
    bottom = std::clamp(bottom, 0, height);
    if (left == right || top == bottom)
        return false;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (!MakeLike(result, right - left, bottom - top) || (HasAlpha() && !result.AddAlpha()))
        return false;
    for (int y = 0; y < result.height; ++y) {
        // Picture row top + (result.height - 1 - y) counted from the top.
        const int sourceRow = height - bottom + y;
        if (bits == 24)
            std::copy_n(Row(sourceRow) + left * 3, result.width * 3, result.Row(y));
        else
            for (int x = 0; x < result.width; ++x)
                result.SetPixelIndex(x, y, PixelIndex(left + x, sourceRow));
        if (HasAlpha())
            std::copy_n(AlphaRow(sourceRow) + left, result.width, result.AlphaRow(y));
    }
    return true;
}
