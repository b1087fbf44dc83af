// Scaling and saturation checked against plain reference computations on random rasters:
// exact area averages and the textbook HSL model.

#include "Imaging/RasterImage.h"
#include "RasterSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using Color = RasterImage::Color;

// The exact average of the source area a destination pixel covers.
double AreaAverage(const RasterImage& source, int u, int v, int channel, double xs, double ys)
{
    double sum = 0;
    double weight = 0;
    for (int y = static_cast<int>(v * ys); y < std::min<double>(source.GetHeight(), (v + 1) * ys); ++y) {
        const double wy = std::min<double>(y + 1, (v + 1) * ys) - std::max<double>(y, v * ys);
        for (int x = static_cast<int>(u * xs); x < std::min<double>(source.GetWidth(), (u + 1) * xs); ++x) {
            const double wx = std::min<double>(x + 1, (u + 1) * xs) - std::max<double>(x, u * xs);
            sum += wx * wy * source.Row(y)[x * 3 + channel];
            weight += wx * wy;
        }
    }
    return sum / weight;
}

// The textbook HSL model (hue in degrees, saturation and lightness in 0..1), in floating
// point: the colour with its saturation moved by amount / 255 of the full range.
Color TextbookSaturate(Color in, int amount)
{
    const double r = in.red / 255.0, g = in.green / 255.0, b = in.blue / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    if (mx == mn)
        return in;
    const double chroma = mx - mn;
    double s = chroma / (1 - std::abs(2 * l - 1));
    double h = mx == r ? std::fmod((g - b) / chroma + 6, 6) : mx == g ? (b - r) / chroma + 2 : (r - g) / chroma + 4;
    h *= 60;
    s = std::clamp(s + amount / 255.0, 0.0, 1.0);
    const double c = (1 - std::abs(2 * l - 1)) * s;
    const double x = c * (1 - std::abs(std::fmod(h / 60, 2) - 1));
    const double m = l - c / 2;
    // Red, green and blue in each sixth of the hue circle.
    const double sextants[6][3] = {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}};
    const double* rgb = sextants[static_cast<int>(h / 60) % 6];
    auto level = [&](double v) { return static_cast<std::uint8_t>(std::lround((v + m) * 255)); };
    return Color{level(rgb[2]), level(rgb[1]), level(rgb[0]), 0};
}

// The raster keeps hue, saturation and lightness in 256 steps each and finds the hue
// in sixths of 42 steps, so its hue may be two steps (2.8 degrees) off the exact
// model, which moves a full-chroma channel by up to 12 levels.
constexpr int kHslTolerance = 12;

bool Near(Color a, Color b)
{
    return std::abs(a.red - b.red) <= kHslTolerance && std::abs(a.green - b.green) <= kHslTolerance &&
           std::abs(a.blue - b.blue) <= kHslTolerance;
}

} // namespace

TEST(RasterScale, ShrinkingAveragesTheCoveredArea)
{
    std::mt19937 random(5);
    for (const auto& [width, height, newWidth, newHeight] :
         {std::tuple{10, 10, 3, 3}, std::tuple{17, 9, 5, 4}, std::tuple{64, 48, 7, 5}, std::tuple{31, 40, 30, 39}}) {
        RasterImage source = RandomRaster(random, width, height);
        RasterImage scaled;
        scaled.CopyFrom(source);
        ASSERT_TRUE(scaled.ScaleTo(newWidth, newHeight));
        ASSERT_EQ(scaled.GetWidth(), newWidth);
        ASSERT_EQ(scaled.GetHeight(), newHeight);
        const double xs = static_cast<double>(width) / newWidth, ys = static_cast<double>(height) / newHeight;
        for (int v = 0; v < newHeight; ++v)
            for (int u = 0; u < newWidth; ++u)
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(scaled.Row(v)[u * 3 + c], AreaAverage(source, u, v, c, xs, ys), 2.0)
                        << width << "x" << height << " -> " << newWidth << "x" << newHeight << " at " << u << "," << v;
    }
}

TEST(RasterScale, ALargeShrinkOfWhiteStaysWhite)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(1000, 1000, 24));
    for (int y = 0; y < 1000; ++y)
        std::fill_n(raster.Row(y), 3000, 255);
    ASSERT_TRUE(raster.ScaleTo(10, 10));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(raster.Row(y)[x], 255) << x << "," << y;
}

TEST(RasterScale, EnlargingInterpolatesBetweenNeighboursAndScalesAlphaAlike)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(2, 1, 24));
    raster.SetPixelColor(0, 0, Color{0, 0, 0, 0});
    raster.SetPixelColor(1, 0, Color{100, 200, 40, 0});
    raster.AddAlpha();
    raster.AlphaRow(0)[0] = 0;
    raster.AlphaRow(0)[1] = 200;
    ASSERT_TRUE(raster.ScaleTo(4, 2));
    const std::uint8_t blue[] = {0, 50, 100, 100};
    const std::uint8_t alpha[] = {0, 100, 200, 200};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(raster.PixelColor(x, y).blue, blue[x]);
            EXPECT_EQ(raster.AlphaRow(y)[x], alpha[x]);
        }
    EXPECT_EQ(raster.PixelColor(1, 0).green, 100);

    RasterImage unchanged;
    unchanged.CopyFrom(raster);
    EXPECT_TRUE(unchanged.ScaleTo(4, 2));
    EXPECT_FALSE(unchanged.ScaleTo(0, 2));
    EXPECT_EQ(unchanged.GetWidth(), 4);
}

TEST(RasterSaturate, FollowsTheTextbookModelOnRandomPixels)
{
    std::mt19937 random(9);
    RasterImage source = RandomRaster(random, 16, 16);
    for (int amount : {0, 30, -30, 255, -255}) {
        RasterImage saturated;
        saturated.CopyFrom(source);
        ASSERT_TRUE(saturated.Saturate(amount));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_PRED2(Near, saturated.PixelColor(x, y), TextbookSaturate(source.PixelColor(x, y), amount))
                    << "amount " << amount << " at " << x << "," << y;
    }
}

TEST(RasterSaturate, KnownColours)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(3, 1, 24));
    raster.SetPixelColor(0, 0, Color{0, 0, 255, 0});
    raster.SetPixelColor(1, 0, Color{90, 90, 90, 0});
    raster.SetPixelColor(2, 0, Color{20, 180, 60, 0});
    ASSERT_TRUE(raster.Saturate(0));
    EXPECT_EQ(raster.PixelColor(0, 0), (Color{1, 1, 254, 0}));
    EXPECT_EQ(raster.PixelColor(1, 0), (Color{90, 90, 90, 0}));
    ASSERT_TRUE(raster.Saturate(-255));
    for (int x = 0; x < 3; ++x) {
        const Color c = raster.PixelColor(x, 0);
        EXPECT_TRUE(c.red == c.green && c.green == c.blue) << x;
    }
}

TEST(RasterSaturate, NoAmountTurnsAnyPixelAwayFromGrey)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(256, 1, 24));
    for (int x = 0; x < 256; ++x)
        raster.SetPixelColor(
            x, 0, Color{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x), 0});
    RasterImage tinted;
    tinted.CopyFrom(raster);
    ASSERT_TRUE(tinted.Saturate(20));
    EXPECT_EQ(tinted.PixelColor(100, 0), (Color{100, 100, 100, 0}));
    ASSERT_TRUE(raster.Saturate(255));
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(raster.PixelColor(x, 0), tinted.PixelColor(x, 0)) << x;
}
