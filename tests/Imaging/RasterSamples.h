#pragma once
// Rasters for tests: one colour everywhere, or random samples.

#include "Imaging/RasterImage.h"

#include <gtest/gtest.h>

#include <random>

inline RasterImage Filled(int width, int height, RasterImage::Color color)
{
    RasterImage raster;
    EXPECT_TRUE(raster.Create(width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            raster.SetPixelColor(x, y, color);
    return raster;
}

// A 24-bit raster of random samples, with a random alpha plane when asked.
inline RasterImage RandomRaster(std::mt19937& random, int width, int height, bool withAlpha = false)
{
    RasterImage raster;
    EXPECT_TRUE(raster.Create(width, height, 24));
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            raster.Row(y)[x] = static_cast<std::uint8_t>(byte(random));
    if (withAlpha) {
        raster.AddAlpha();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                raster.AlphaRow(y)[x] = static_cast<std::uint8_t>(byte(random));
    }
    return raster;
}
