// Scaling and fitting of RasterImage.

#include "Imaging/RasterImage.h"

#include <algorithm>
#include <cmath>

bool RasterImage::ScaleTo(int newWidth, int newHeight)
{
    if (IsEmpty() || newWidth <= 0 || newHeight <= 0)
        return false;
    if (newWidth == width && newHeight == height)
        return true;
    const float xs = static_cast<float>(width) / static_cast<float>(newWidth);
    const float ys = static_cast<float>(height) / static_cast<float>(newHeight);
    RasterImage result;
    if (!MakeLike(result, newWidth, newHeight))
        return false;
    if (newWidth < width && newHeight < height && bits == 24)
        ScaleShrinking(result, xs, ys);
    else
        ScaleBilinear(result, xs, ys);
    if (HasAlpha() && !ScaleAlphaInto(result))
        return false;
    TakeOver(result);
    return true;
}

// Area averaging in thousandths: every source pixel is visited once and its samples
// are spread over the destination pixels it covers, with the share of a pixel cut by
// a destination edge split by the position of that edge. The sums are 64-bit: a large
// shrink (100 x 100 source pixels of 255 per destination pixel) overflows 32 bits.
void RasterImage::ScaleShrinking(RasterImage& result, float xs, float ys) const
{
    const int newWidth = result.width;
    const int newHeight = result.height;
    const std::int64_t norm = std::max<std::int64_t>(1, static_cast<std::int64_t>(xs * 1000.0f * ys));
    // Two slack pixels: the destination edge may run one pixel past the last column.
    std::vector<std::int64_t> current(3 * static_cast<std::size_t>(newWidth) + 6, 0);
    std::vector<std::int64_t> carry(current.size(), 0);
    const int lastPixel = newWidth + 1;

    auto writePixel = [&](int row, int u) {
        if (row >= newHeight || u >= newWidth)
            return;
        std::uint8_t* target = result.Row(row) + u * 3;
        for (int c = 0; c < 3; ++c)
            target[c] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(current[3 * u + c] / norm, 0, 255));
    };

    int row = 0;
    float endY = ys - 1.0f;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = Row(y);
        float endX = xs - 1.0f;
        int u = 0;
        if (static_cast<float>(y) < endY) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* sample = source + x * 3;
                if (static_cast<float>(x) < endX || u >= lastPixel - 1) {
                    for (int c = 0; c < 3; ++c)
                        current[3 * u + c] += sample[c] * 1000;
                    continue;
                }
                const std::int64_t wx = static_cast<std::int64_t>((static_cast<float>(x) - endX) * 1000.0f);
                for (int c = 0; c < 3; ++c) {
                    current[3 * u + c] += (1000 - wx) * sample[c];
                    current[3 * (u + 1) + c] += wx * sample[c];
                }
                endX += xs;
                ++u;
            }
            continue;
        }
        const std::int64_t wy = static_cast<std::int64_t>((static_cast<float>(y) - endY) * 1000.0f);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* sample = source + x * 3;
            if (static_cast<float>(x) < endX || u >= lastPixel - 1) {
                for (int c = 0; c < 3; ++c) {
                    current[3 * u + c] += (1000 - wy) * sample[c];
                    carry[3 * u + c] += wy * sample[c];
                }
                continue;
            }
            const std::int64_t wx = static_cast<std::int64_t>((static_cast<float>(x) - endX) * 1000.0f);
            for (int c = 0; c < 3; ++c)
                current[3 * u + c] += (1000 - wy) * (1000 - wx) * sample[c] / 1000;
            writePixel(row, u);
            for (int c = 0; c < 3; ++c) {
                carry[3 * u + c] += wy * (1000 - wx) * sample[c] / 1000;
                current[3 * (u + 1) + c] += (1000 - wy) * wx * sample[c] / 1000;
                carry[3 * (u + 1) + c] = wy * wx * sample[c] / 1000;
            }
            endX += xs;
            ++u;
        }
        if (u < newWidth)
            writePixel(row, u);
        std::swap(current, carry);
        std::fill_n(carry.begin(), 3, 0);
        ++row;
        endY += ys;
    }
    for (; row < newHeight; ++row)
        for (int u = 0; u < newWidth; ++u)
            writePixel(row, u);
}

void RasterImage::ScaleBilinear(RasterImage& result, float xs, float ys) const
{
    for (int y = 0; y < result.height; ++y) {
        const float fy = static_cast<float>(y) * ys;
        const int iy = std::min(height - 1, static_cast<int>(fy));
        const int iy1 = std::min(height - 1, iy + 1);
        const float dy = fy - static_cast<float>(iy);
        for (int x = 0; x < result.width; ++x) {
            const float fx = static_cast<float>(x) * xs;
            const int ix = std::min(width - 1, static_cast<int>(fx));
            const int ix1 = std::min(width - 1, ix + 1);
            const float dx = fx - static_cast<float>(ix);
            const Color c1 = PixelColor(ix, iy);
            const Color c2 = PixelColor(ix1, iy);
            const Color c3 = PixelColor(ix, iy1);
            const Color c4 = PixelColor(ix1, iy1);
            auto channel = [&](std::uint8_t Color::*part) {
                const float a = static_cast<float>(c1.*part) + static_cast<float>(c3.*part - c1.*part) * dy;
                const float b = static_cast<float>(c2.*part) + static_cast<float>(c4.*part - c2.*part) * dy;
                return static_cast<std::uint8_t>(std::clamp(static_cast<int>(a + (b - a) * dx), 0, 255));
            };
            result.SetPixelColor(x, y, Color{channel(&Color::blue), channel(&Color::green), channel(&Color::red), 0});
        }
    }
}

// The alpha plane is scaled as an 8-bit grey raster by the same operation.
bool RasterImage::ScaleAlphaInto(RasterImage& result) const
{
    RasterImage grey;
    if (!grey.Create(width, height, 8))
        return false;
    for (int i = 0; i < 256; ++i)
        grey.palette[i] =
            Color{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0};
    for (int y = 0; y < height; ++y)
        std::copy_n(AlphaRow(y), width, grey.Row(y));
    if (!grey.ScaleTo(result.width, result.height) || !result.AddAlpha())
        return false;
    for (int y = 0; y < result.height; ++y)
        std::copy_n(grey.Row(y), result.width, result.AlphaRow(y));
    return true;
}

bool RasterImage::FitInto(int boxWidth, int boxHeight, Color canvasColor, RasterImage* destination)
{
    if (IsEmpty() || boxWidth < 1 || boxHeight < 1)
        return false;
    RasterImage fitted;
    if (!fitted.CopyFrom(*this))
        return false;
    if (width > boxWidth || height > boxHeight) {
        const float aspect = static_cast<float>(boxWidth) / static_cast<float>(boxHeight);
        const float scale = aspect * static_cast<float>(height) > static_cast<float>(width)
                                ? static_cast<float>(boxHeight) / static_cast<float>(height)
                                : static_cast<float>(boxWidth) / static_cast<float>(width);
        // A very long, thin picture keeps at least one pixel on its short side instead
        // of staying unscaled and overflowing the box.
        const int fittedWidth = std::max(1, static_cast<int>(static_cast<float>(width) * scale));
        const int fittedHeight = std::max(1, static_cast<int>(static_cast<float>(height) * scale));
        if (!fitted.ScaleTo(fittedWidth, fittedHeight))
            return false;
    }
    if (boxWidth >= fitted.width && boxHeight >= fitted.height &&
        (boxWidth != fitted.width || boxHeight != fitted.height)) {
        RasterImage canvasRaster;
        if (!fitted.MakeLike(canvasRaster, boxWidth, boxHeight) || (fitted.HasAlpha() && !canvasRaster.AddAlpha()))
            return false;
        const int left = (boxWidth - fitted.width) / 2;
        const int top = (boxHeight - fitted.height) / 2;
        // Storage rows are bottom-up: the picture's top margin is at the end.
        const int bottomMargin = boxHeight - fitted.height - top;
        for (int y = 0; y < boxHeight; ++y) {
            const int sourceRow = y - bottomMargin;
            const bool rowInside = sourceRow >= 0 && sourceRow < fitted.height;
            for (int x = 0; x < boxWidth; ++x) {
                const bool inside = rowInside && x >= left && x < left + fitted.width;
                if (inside && fitted.bits != 24)
                    canvasRaster.SetPixelIndex(x, y, fitted.PixelIndex(x - left, sourceRow));
                else
                    canvasRaster.SetPixelColor(x, y, inside ? fitted.PixelColor(x - left, sourceRow) : canvasColor);
                if (canvasRaster.HasAlpha())
                    canvasRaster.AlphaRow(y)[x] = inside ? fitted.AlphaRow(sourceRow)[x - left] : canvasColor.alpha;
            }
        }
        fitted.TakeOver(canvasRaster);
    }
    (destination ? *destination : *this).TakeOver(fitted);
    return true;
}
