#include "Imaging/RasterImage.h"
#include "RasterSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using Color = RasterImage::Color;

bool SamePixels(const RasterImage& a, const RasterImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.HasAlpha() != b.HasAlpha())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            if (!(a.PixelColor(x, y) == b.PixelColor(x, y)))
                return false;
            if (a.HasAlpha() && a.AlphaRow(y)[x] != b.AlphaRow(y)[x])
                return false;
        }
    return true;
}

// Top-down access for readable expectations.
Color At(const RasterImage& raster, int x, int rowFromTop)
{
    return raster.PixelColor(x, raster.GetHeight() - 1 - rowFromTop);
}

} // namespace

TEST(RasterImage, CreateNormalizesDepthsAndRefusesEmptyOrOversizedRasters)
{
    RasterImage raster;
    EXPECT_FALSE(raster.Create(0, 10, 24));
    EXPECT_FALSE(raster.Create(10, -1, 24));
    EXPECT_FALSE(raster.Create(10000, 10000, 24));
    EXPECT_TRUE(raster.IsEmpty());
    EXPECT_TRUE(raster.Create(9000, 9000, 24));
    EXPECT_EQ(raster.GetStride(), 27000);

    const std::pair<int, int> depths[] = {{0, 1}, {1, 1}, {2, 4}, {4, 4}, {5, 8}, {8, 8}, {9, 24}, {32, 24}};
    for (const auto& [requested, expected] : depths) {
        RasterImage small;
        ASSERT_TRUE(small.Create(5, 3, requested));
        EXPECT_EQ(small.GetBitsPerPixel(), expected);
        EXPECT_EQ(small.GetStride(), (5 * expected + 31) / 32 * 4);
        EXPECT_EQ(small.Palette().size(), expected <= 8 ? std::size_t{1} << expected : 0u);
    }
}

TEST(RasterImage, FromPixelsPutsTheFirstMemoryRowOnTopAndSplitsOffAlpha)
{
    const std::uint8_t rows[] = {1, 2, 3, 4, 5, 6, 7, 8, /* second row */ 9, 10, 11, 12, 13, 14, 15, 16};
    RasterImage raster;
    ASSERT_TRUE(raster.CreateFromPixels(rows, 2, 2, 32, 8, true));
    EXPECT_EQ(At(raster, 0, 0), (Color{1, 2, 3, 0}));
    EXPECT_EQ(At(raster, 1, 1), (Color{13, 14, 15, 0}));
    ASSERT_TRUE(raster.HasAlpha());
    EXPECT_EQ(raster.AlphaRow(1)[1], 8);
    EXPECT_EQ(raster.AlphaRow(0)[0], 12);
    EXPECT_FALSE(raster.CreateFromPixels(rows, 2, 2, 32, 4, true));
}

TEST(RasterImage, FitIntoScalesDownAndCentresOnTheCanvas)
{
    const Color canvas{10, 20, 30, 0};
    const Color picture{200, 100, 50, 0};
    struct Case {
        int width, height, fittedWidth, fittedHeight, left, top;
    };
    for (const Case& c :
         {Case{800, 600, 400, 300, 0, 50}, Case{300, 200, 300, 200, 50, 100}, Case{301, 200, 301, 200, 49, 100},
          Case{200, 1000, 80, 400, 160, 0}, Case{4000, 3, 400, 1, 0, 199}, Case{3, 4000, 1, 400, 199, 0}}) {
        RasterImage source = Filled(c.width, c.height, picture);
        RasterImage fitted;
        ASSERT_TRUE(source.FitInto(400, 400, canvas, &fitted));
        EXPECT_EQ(source.GetWidth(), c.width) << "the source stays as it is";
        ASSERT_EQ(fitted.GetWidth(), 400);
        ASSERT_EQ(fitted.GetHeight(), 400);
        EXPECT_EQ(At(fitted, c.left, c.top), picture) << c.width;
        EXPECT_EQ(At(fitted, c.left + c.fittedWidth - 1, c.top + c.fittedHeight - 1), picture) << c.width;
        if (c.left > 0) {
            EXPECT_EQ(At(fitted, c.left - 1, c.top), canvas);
            EXPECT_EQ(At(fitted, c.left + c.fittedWidth, c.top), canvas);
        }
        if (c.top > 0) {
            EXPECT_EQ(At(fitted, c.left, c.top - 1), canvas);
            EXPECT_EQ(At(fitted, c.left, c.top + c.fittedHeight), canvas);
        }
    }
    RasterImage empty;
    EXPECT_FALSE(empty.FitInto(10, 10, canvas));
    RasterImage small = Filled(4, 4, picture);
    EXPECT_FALSE(small.FitInto(0, 10, canvas));
}

TEST(RasterImage, FitIntoGivesNewCanvasTheCanvasAlpha)
{
    RasterImage source = Filled(2, 2, Color{1, 1, 1, 0});
    source.AddAlpha();
    source.AlphaRow(0)[0] = 77;
    ASSERT_TRUE(source.FitInto(4, 2, Color{0, 0, 0, 9}));
    ASSERT_TRUE(source.HasAlpha());
    EXPECT_EQ(source.AlphaRow(0)[0], 9);
    EXPECT_EQ(source.AlphaRow(0)[1], 77);
    EXPECT_EQ(source.AlphaRow(1)[3], 9);
}

TEST(RasterImage, CropClampsSwapsAndRefusesEmptyAreas)
{
    std::mt19937 random(7);
    RasterImage source = RandomRaster(random, 10, 8, true);
    RasterImage raster;
    raster.CopyFrom(source);
    EXPECT_FALSE(raster.Crop(3, 1, 3, 5));
    EXPECT_FALSE(raster.Crop(20, 1, 30, 5));
    EXPECT_TRUE(SamePixels(raster, source));

    ASSERT_TRUE(raster.Crop(8, 6, 2, 1)); // reversed edges
    ASSERT_EQ(raster.GetWidth(), 6);
    ASSERT_EQ(raster.GetHeight(), 5);
    EXPECT_EQ(At(raster, 0, 0), At(source, 2, 1));
    EXPECT_EQ(At(raster, 5, 4), At(source, 7, 5));
    EXPECT_EQ(raster.AlphaRow(raster.GetHeight() - 1)[0], source.AlphaRow(source.GetHeight() - 2)[2]);

    RasterImage clamped;
    clamped.CopyFrom(source);
    ASSERT_TRUE(clamped.Crop(-5, -5, 4, 100));
    EXPECT_EQ(clamped.GetWidth(), 4);
    EXPECT_EQ(clamped.GetHeight(), 8);
    EXPECT_EQ(At(clamped, 3, 7), At(source, 3, 7));
}

TEST(RasterImage, QuarterTurnsMoveEveryPixelAndRestoreExactly)
{
    std::mt19937 random(11);
    RasterImage source = RandomRaster(random, 3, 2, false);
    RasterImage left;
    left.CopyFrom(source);
    ASSERT_TRUE(left.RotateLeft());
    ASSERT_EQ(left.GetWidth(), 2);
    ASSERT_EQ(left.GetHeight(), 3);
    RasterImage right;
    right.CopyFrom(source);
    ASSERT_TRUE(right.RotateRight());
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(At(left, c, r), At(source, 3 - 1 - r, c));
            EXPECT_EQ(At(right, c, r), At(source, r, 2 - 1 - c));
        }

    // Sizes across the 64-pixel tiles, and every depth, alpha planes included.
    for (const auto& [width, height, depth] : {std::tuple{130, 70, 24}, std::tuple{67, 129, 24}, std::tuple{13, 9, 1},
                                               std::tuple{11, 6, 4}, std::tuple{9, 12, 8}}) {
        RasterImage raster;
        ASSERT_TRUE(raster.Create(width, height, depth));
        std::uniform_int_distribution<int> byte(0, 255);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < raster.GetStride(); ++x)
                raster.Row(y)[x] = static_cast<std::uint8_t>(byte(random));
        raster.AddAlpha();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                raster.AlphaRow(y)[x] = static_cast<std::uint8_t>(byte(random));
        RasterImage original;
        original.CopyFrom(raster);
        ASSERT_TRUE(raster.RotateLeft());
        ASSERT_TRUE(raster.RotateRight());
        EXPECT_TRUE(SamePixels(raster, original)) << width << "x" << height << "x" << depth;
        ASSERT_TRUE(raster.RotateRight());
        ASSERT_TRUE(raster.RotateRight());
        ASSERT_TRUE(raster.RotateRight());
        ASSERT_TRUE(raster.RotateRight());
        EXPECT_TRUE(SamePixels(raster, original)) << width << "x" << height << "x" << depth;
    }
    RasterImage empty;
    EXPECT_FALSE(empty.RotateLeft());
}

TEST(RasterImage, AdjustLightFollowsBrightnessAndContrast)
{
    std::mt19937 random(3);
    RasterImage source = RandomRaster(random, 5, 4, false);
    RasterImage same;
    same.CopyFrom(source);
    ASSERT_TRUE(same.AdjustLight(0, 0));
    EXPECT_TRUE(SamePixels(same, source));

    RasterImage flat;
    flat.CopyFrom(source);
    ASSERT_TRUE(flat.AdjustLight(0, -100));
    EXPECT_EQ(flat.PixelColor(2, 2), (Color{128, 128, 128, 0}));

    RasterImage brighter;
    brighter.CopyFrom(source);
    ASSERT_TRUE(brighter.AdjustLight(50, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 15; ++x)
            EXPECT_EQ(brighter.Row(y)[x], std::min(255, source.Row(y)[x] + 50));
}

TEST(RasterImage, ToGrayWeighsChannelsAndKeepsAlpha)
{
    RasterImage raster = Filled(2, 1, Color{10, 20, 200, 0});
    raster.AddAlpha();
    raster.AlphaRow(0)[1] = 5;
    ASSERT_TRUE(raster.ToGray());
    EXPECT_EQ(raster.GetBitsPerPixel(), 8);
    const int grey = (200 * 306 + 20 * 601 + 10 * 117) >> 10;
    EXPECT_EQ(raster.PixelColor(0, 0), (Color{static_cast<std::uint8_t>(grey), static_cast<std::uint8_t>(grey),
                                              static_cast<std::uint8_t>(grey), 0}));
    EXPECT_EQ(raster.AlphaRow(0)[1], 5);
}

TEST(RasterImage, CanvasColorComesFromThePaletteWhenATransparentIndexIsSet)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(2, 2, 8));
    raster.Palette()[3] = Color{1, 2, 3, 4};
    raster.SetCanvasColor(Color{9, 9, 9, 9});
    EXPECT_EQ(raster.GetCanvasColor(), (Color{9, 9, 9, 9}));
    raster.SetTransparentIndex(3);
    EXPECT_EQ(raster.GetCanvasColor(), (Color{1, 2, 3, 4}));
    raster.SetTransparentIndex(300);
    EXPECT_EQ(raster.GetCanvasColor(), (Color{}));
}

TEST(RasterAlpha, AnAllOpaquePlaneIsDroppedAndAnyTransparencyKeepsIt)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(4, 3, 24));
    ASSERT_TRUE(raster.AddAlpha());
    raster.AlphaRow(2)[3] = 128;
    EXPECT_FALSE(raster.DropOpaqueAlpha());
    EXPECT_TRUE(raster.HasAlpha());
    raster.AlphaRow(2)[3] = 255;
    EXPECT_TRUE(raster.DropOpaqueAlpha());
    EXPECT_FALSE(raster.HasAlpha());
}
