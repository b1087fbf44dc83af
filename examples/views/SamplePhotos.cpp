#include "SamplePhotos.h"

#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/MemoryStream.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

using namespace Platform::Gdiplus;

namespace {

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The light of each picture: sky at the top and at the horizon, the sun, two ranges of
// hills and the water.
struct Palette {
    Colour skyTop, horizon, sun, farHills, nearHills, water;
};

const Palette kPalettes[] = {
    {{40, 90, 170}, {250, 190, 120}, {255, 240, 200}, {110, 90, 120}, {50, 60, 70}, {70, 110, 160}},
    {{70, 150, 230}, {190, 225, 250}, {255, 255, 235}, {90, 140, 110}, {50, 100, 60}, {60, 140, 170}},
    {{20, 30, 80}, {230, 110, 90}, {255, 200, 150}, {80, 50, 90}, {30, 25, 45}, {90, 60, 110}},
    {{110, 170, 220}, {235, 240, 245}, {255, 255, 255}, {150, 160, 175}, {90, 110, 100}, {120, 160, 190}},
    {{60, 110, 160}, {240, 210, 150}, {255, 230, 170}, {150, 120, 80}, {100, 80, 50}, {80, 120, 140}},
    {{30, 60, 120}, {150, 200, 230}, {240, 250, 255}, {70, 110, 140}, {30, 60, 70}, {40, 90, 120}},
};

double Hill(double x, double phase, double height, double base)
{
    return base - height * (0.5 + 0.3 * std::sin(x * 6.0 + phase) + 0.2 * std::sin(x * 17.0 + phase * 2.3));
}

Colour PixelOf(const Palette& palette, int index, double x, double y)
{
    const double horizon = 0.62;
    const double sunX = 0.25 + 0.1 * (index % 6), sunY = 0.3 + 0.04 * (index % 3);
    if (y > horizon) {
        // Water mirrors the sky, darker further down, with ripples.
        const double ripple = 0.06 * std::sin(y * 180.0 + x * 12.0);
        return Mix(Mix(palette.horizon, palette.water, 0.55 + ripple), palette.water, (y - horizon) * 2.2);
    }
    if (y > Hill(x, index * 1.7 + 2.0, 0.12, horizon))
        return Mix(palette.nearHills, palette.water, 0.1 * std::sin(x * 40.0));
    if (y > Hill(x, index * 0.9, 0.22, horizon - 0.04))
        return Mix(palette.farHills, palette.horizon, 0.25);
    const double distance = std::hypot(x - sunX, (y - sunY) * 0.75);
    Colour sky = Mix(palette.skyTop, palette.horizon, y / horizon);
    sky = Mix(sky, palette.sun, 0.5 * std::exp(-distance * 9.0));
    return distance < 0.05 ? palette.sun : sky;
}

} // namespace

bool WriteSamplePhoto(const std::string& path, int index, int width, int height)
{
    if (width < 1 || height < 1)
        return false;
    const Palette& palette = kPalettes[static_cast<unsigned>(index) % std::size(kPalettes)];
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const Colour colour = PixelOf(palette, index, double(column) / width, double(row) / height);
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(row) * width + column) * 4];
            pixel[0] = static_cast<std::uint8_t>(std::clamp(colour.b, 0.0, 255.0));
            pixel[1] = static_cast<std::uint8_t>(std::clamp(colour.g, 0.0, 255.0));
            pixel[2] = static_cast<std::uint8_t>(std::clamp(colour.r, 0.0, 255.0));
            pixel[3] = 255;
        }
    }
    const auto bitmap = Bitmap::FromPixels(width, height, width * 4, pixels.data());
    MemoryStream encoded;
    if (!bitmap || bitmap->Save(encoded, ImageEncoderClsid(0x557CF401)) != Status::Ok)
        return false;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(encoded.Map()), static_cast<std::streamsize>(encoded.Size()));
    return static_cast<bool>(file);
}
