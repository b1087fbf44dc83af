// Brightness and contrast, saturation and grey conversion of RasterImage.

#include "Imaging/RasterImage.h"
#include "Imaging/HslColor.h"

#include <algorithm>
#include <cmath>

bool RasterImage::AdjustLight(int brightness, int contrast)
{
    std::uint8_t table[256];
    const float factor = (static_cast<float>(contrast) + 100.0f) / 100.0f;
    for (int i = 0; i < 256; ++i) {
        const float value = static_cast<float>(brightness) + 128.0f + factor * static_cast<float>(i - 128) + 0.5f;
        table[i] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::trunc(value)), 0, 255));
    }
    return ApplyTable(table);
}

bool RasterImage::ApplyTable(const std::uint8_t (&table)[256])
{
    if (IsEmpty())
        return false;
    if (bits == 24) {
        for (std::uint8_t& byte : pixels)
            byte = table[byte];
        return true;
    }
    const bool wasGrey = std::all_of(palette.begin(), palette.end(),
                                     [](const Color& c) { return c.blue == c.green && c.green == c.red; });
    for (Color& entry : palette) {
        entry.blue = table[entry.blue];
        entry.green = table[entry.green];
        entry.red = table[entry.red];
    }
    return wasGrey ? ToGray() : true;
}

bool RasterImage::Saturate(int amount)
{
    if (IsEmpty())
        return false;
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(std::clamp(i + amount, 0, 255));
    RasterImage result;
    if (!result.CopyFrom(*this))
        return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Color color = PixelColor(x, y);
            HslColor hsl = RgbToHsl(color.red, color.green, color.blue);
            // A grey has no hue of its own: giving it saturation would tint it.
            if (hsl.saturation == 0)
                continue;
            hsl.saturation = table[hsl.saturation];
            std::uint8_t red, green, blue;
            HslToRgb(hsl, red, green, blue);
            result.SetPixelColor(x, y, Color{blue, green, red, 0});
        }
    }
    TakeOver(result);
    return true;
}

bool RasterImage::ToGray()
{
    if (IsEmpty())
        return false;
    auto greyOf = [](const Color& c) {
        return static_cast<std::uint8_t>((c.red * 306 + c.green * 601 + c.blue * 117) >> 10);
    };
    RasterImage result;
    if (!result.Create(width, height, 8))
        return false;
    for (int i = 0; i < 256; ++i)
        result.palette[i] =
            Color{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0};
    result.CopyPropertiesFrom(*this);
    result.alpha = alpha;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            result.Row(y)[x] = greyOf(PixelColor(x, y));
    if (transparentIndex != -1)
        result.transparentIndex = greyOf(GetCanvasColor());
    TakeOver(result);
    return true;
}
