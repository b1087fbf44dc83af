// Scaling and saturation checked against plain reference computations on random rasters.

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

// Saturation written out step by step from the colour model's definitions.
Color ReferenceSaturate(Color in, int amount)
{
    const int r = in.red, g = in.green, b = in.blue;
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const int l = ((mx + mn) * 255 + 255) / 510;
    // A grey keeps its colour whatever the amount.
    if (mx == mn)
        return in;
    int s = 0, h = 170;
    {
        s = l <= 127 ? ((mx - mn) * 255 + (mx + mn) / 2) / (mx + mn)
                     : ((mx - mn) * 255 + (510 - mx - mn) / 2) / (510 - mx - mn);
        const int rd = ((mx - r) * 42 + (mx - mn) / 2) / (mx - mn);
        const int gd = ((mx - g) * 42 + (mx - mn) / 2) / (mx - mn);
        const int bd = ((mx - b) * 42 + (mx - mn) / 2) / (mx - mn);
        h = (r == mx ? bd - gd : g == mx ? 85 + rd - bd : 170 + gd - rd) & 0xFF;
    }
    s = std::clamp(s + amount, 0, 255);
    const float hf = h * 360.0f / 255.0f, sf = s / 255.0f, lf = l / 255.0f;
    const float m2 = lf <= 0.5f ? lf * (1.0f + sf) : lf + sf - lf * sf;
    const float m1 = 2.0f * lf - m2;
    auto f = [&](float x) {
        if (x > 360.0f)
            x -= 360.0f;
        else if (x < 0.0f)
            x += 360.0f;
        if (x < 60.0f)
            return m1 + (m2 - m1) * x / 60.0f;
        if (x < 180.0f)
            return m2;
        if (x < 240.0f)
            return m1 + (m2 - m1) * (240.0f - x) / 60.0f;
        return m1;
    };
    if (sf == 0.0f) {
        const auto grey = static_cast<std::uint8_t>(lf * 255.0f);
        return Color{grey, grey, grey, 0};
    }
    return Color{static_cast<std::uint8_t>(f(hf - 120.0f) * 255.0f), static_cast<std::uint8_t>(f(hf) * 255.0f),
                 static_cast<std::uint8_t>(f(hf + 120.0f) * 255.0f), 0};
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

TEST(RasterSaturate, MatchesTheReferenceOnRandomPixels)
{
    std::mt19937 random(9);
    RasterImage source = RandomRaster(random, 16, 16);
    for (int amount : {0, 30, -30, 255, -255}) {
        RasterImage saturated;
        saturated.CopyFrom(source);
        ASSERT_TRUE(saturated.Saturate(amount));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(saturated.PixelColor(x, y), ReferenceSaturate(source.PixelColor(x, y), amount))
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
        raster.SetPixelColor(x, 0, Color{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x), 0});
    RasterImage tinted;
    tinted.CopyFrom(raster);
    ASSERT_TRUE(tinted.Saturate(20));
    EXPECT_EQ(tinted.PixelColor(100, 0), (Color{100, 100, 100, 0}));
    ASSERT_TRUE(raster.Saturate(255));
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(raster.PixelColor(x, 0), tinted.PixelColor(x, 0)) << x;
}
