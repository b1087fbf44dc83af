#include "Platform/Gdiplus/GifPalette.h"

#include "Platform/Gdiplus/PixelBuffer.h"

namespace Platform::Gdiplus {

namespace {

constexpr std::uint8_t AlphaThreshold = 128;

bool IsTransparent(const std::uint8_t* bgra)
{
    return bgra[3] < AlphaThreshold;
}

std::uint32_t Rgb(const std::uint8_t* bgra)
{
    return static_cast<std::uint32_t>(bgra[2]) << 16 | bgra[1] << 8 | bgra[0];
}

int CubeLevel(std::uint8_t value)
{
    return (value + 25) / 51;
}

} // namespace

GifPalette::GifPalette(const PixelBuffer& pixels)
{
    if (!CollectExact(pixels)) {
        MakeCube(pixels.HasAlpha());
        cube = true;
    }
}

bool GifPalette::CollectExact(const PixelBuffer& pixels)
{
    int used = 0;
    for (int y = 0; y < pixels.Height(); ++y) {
        const std::uint8_t* pixel = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x, pixel += 4) {
            const bool transparent = IsTransparent(pixel);
            if (transparent ? transparentIndex >= 0 : exact.count(Rgb(pixel)) > 0)
                continue;
            if (used == Size) {
                exact.clear();
                transparentIndex = -1;
                return false;
            }
            if (transparent) {
                transparentIndex = used++;
            } else {
                colours[used] = Rgb(pixel);
                exact.emplace(Rgb(pixel), static_cast<std::uint8_t>(used++));
            }
        }
    }
    return true;
}

void GifPalette::MakeCube(bool transparent)
{
    int index = 0;
    for (int r = 0; r < CubeLevels; ++r) {
        for (int g = 0; g < CubeLevels; ++g) {
            for (int b = 0; b < CubeLevels; ++b)
                colours[index++] = static_cast<std::uint32_t>(r * 51) << 16 | (g * 51) << 8 | b * 51;
        }
    }
    transparentIndex = transparent ? index : -1;
}

std::uint8_t GifPalette::IndexOf(const std::uint8_t* bgra) const
{
    if (IsTransparent(bgra) && transparentIndex >= 0)
        return static_cast<std::uint8_t>(transparentIndex);
    if (!cube)
        return exact.at(Rgb(bgra));
    return static_cast<std::uint8_t>(CubeLevel(bgra[2]) * 36 + CubeLevel(bgra[1]) * 6 + CubeLevel(bgra[0]));
}

} // namespace Platform::Gdiplus
