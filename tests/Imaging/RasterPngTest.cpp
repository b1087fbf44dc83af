#include "Gdiplus/TestPictures.h"
#include "Imaging/RasterImage.h"
#include "Imaging/RasterMemFile.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

namespace {

using Color = RasterImage::Color;

// Writes a PNG into memory with libpng, rows given top-down in the PNG's own layout.
std::vector<std::uint8_t> WritePng(int width, int height, int colorType, int depth,
                                   const std::vector<std::vector<std::uint8_t>>& rows, bool interlaced = false,
                                   const std::vector<png_color>& palette = {}, const std::vector<png_byte>& alphas = {})
{
    std::vector<std::uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, width, height, depth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!alphas.empty())
        png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

bool Load(const std::vector<std::uint8_t>& bytes, RasterImage& raster)
{
    RasterMemFile file(bytes.data(), bytes.size());
    return raster.LoadPng(file);
}

Color At(const RasterImage& raster, int x, int rowFromTop)
{
    return raster.PixelColor(x, raster.GetHeight() - 1 - rowFromTop);
}

} // namespace

TEST(RasterPng, RgbAndRgbaBecomeTwentyFourBitsWithAlphaKeptUnpremultiplied)
{
    RasterImage rgb;
    ASSERT_TRUE(
        Load(WritePng(2, 2, PNG_COLOR_TYPE_RGB, 8, {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 100, 110, 120}}), rgb));
    EXPECT_EQ(rgb.GetBitsPerPixel(), 24);
    EXPECT_FALSE(rgb.HasAlpha());
    EXPECT_EQ(At(rgb, 0, 0), (Color{30, 20, 10, 0}));
    EXPECT_EQ(At(rgb, 1, 1), (Color{120, 110, 100, 0}));

    RasterImage rgba;
    ASSERT_TRUE(Load(WritePng(1, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, {{200, 100, 50, 128}, {1, 2, 3, 0}}), rgba));
    ASSERT_TRUE(rgba.HasAlpha());
    EXPECT_EQ(At(rgba, 0, 0), (Color{50, 100, 200, 0}));
    EXPECT_EQ(rgba.AlphaRow(1)[0], 128);
    EXPECT_EQ(rgba.AlphaRow(0)[0], 0);
}

TEST(RasterPng, GreyImagesKeepTheirDepthWithAGreyPalette)
{
    RasterImage one;
    ASSERT_TRUE(Load(WritePng(9, 1, PNG_COLOR_TYPE_GRAY, 1, {{0b10000000, 0b10000000}}), one));
    EXPECT_EQ(one.GetBitsPerPixel(), 1);
    EXPECT_EQ(At(one, 0, 0), (Color{255, 255, 255, 0}));
    EXPECT_EQ(At(one, 1, 0), (Color{0, 0, 0, 0}));
    EXPECT_EQ(At(one, 8, 0), (Color{255, 255, 255, 0}));

    RasterImage two;
    ASSERT_TRUE(Load(WritePng(4, 1, PNG_COLOR_TYPE_GRAY, 2, {{0b00011011}}), two));
    EXPECT_EQ(two.GetBitsPerPixel(), 4);
    EXPECT_EQ(At(two, 0, 0).red, 0);
    EXPECT_EQ(At(two, 1, 0).red, 85);
    EXPECT_EQ(At(two, 3, 0).red, 255);

    RasterImage greyAlpha;
    ASSERT_TRUE(Load(WritePng(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{40, 255, 90, 7}}), greyAlpha));
    EXPECT_EQ(greyAlpha.GetBitsPerPixel(), 8);
    EXPECT_EQ(At(greyAlpha, 1, 0), (Color{90, 90, 90, 0}));
    EXPECT_EQ(greyAlpha.AlphaRow(0)[1], 7);
}

TEST(RasterPng, PaletteTransparencyBecomesPaletteAlpha)
{
    const std::vector<png_color> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    RasterImage raster;
    ASSERT_TRUE(Load(WritePng(3, 1, PNG_COLOR_TYPE_PALETTE, 4, {{0x12, 0x00}}, false, palette, {0, 128}), raster));
    EXPECT_EQ(raster.GetBitsPerPixel(), 4);
    EXPECT_TRUE(raster.HasPaletteAlpha());
    EXPECT_EQ(At(raster, 0, 0), (Color{0, 255, 0, 128}));
    EXPECT_EQ(At(raster, 1, 0), (Color{255, 0, 0, 255}));
    EXPECT_EQ(At(raster, 2, 0), (Color{0, 0, 255, 0}));
}

TEST(RasterPng, InterlacedAndSixteenBitImagesReadLikePlainOnes)
{
    std::vector<std::vector<std::uint8_t>> rows(9, std::vector<std::uint8_t>(9 * 3));
    std::vector<std::vector<std::uint8_t>> wide(9, std::vector<std::uint8_t>(9 * 6));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 27; ++x) {
            rows[y][x] = static_cast<std::uint8_t>(y * 27 + x);
            wide[y][x * 2] = rows[y][x];
        }
    RasterImage plain, interlaced, sixteen;
    ASSERT_TRUE(Load(WritePng(9, 9, PNG_COLOR_TYPE_RGB, 8, rows), plain));
    ASSERT_TRUE(Load(WritePng(9, 9, PNG_COLOR_TYPE_RGB, 8, rows, true), interlaced));
    ASSERT_TRUE(Load(WritePng(9, 9, PNG_COLOR_TYPE_RGB, 16, wide), sixteen));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(At(interlaced, x, y), At(plain, x, y));
            EXPECT_EQ(At(sixteen, x, y), At(plain, x, y));
        }
}

TEST(RasterPng, DamagedBytesLeaveTheRasterAsItWas)
{
    auto bytes = WritePng(4, 4, PNG_COLOR_TYPE_RGB, 8,
                          std::vector<std::vector<std::uint8_t>>(4, std::vector<std::uint8_t>(12, 7)));
    RasterImage raster;
    ASSERT_TRUE(raster.Create(3, 3, 24));
    for (std::size_t cut : {std::size_t{0}, std::size_t{8}, std::size_t{30}, bytes.size() - 20}) {
        std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(Load(truncated, raster)) << cut;
        EXPECT_EQ(raster.GetWidth(), 3);
    }
    auto corrupt = bytes;
    corrupt[bytes.size() / 2] ^= 0xFF;
    corrupt[bytes.size() / 2 + 1] ^= 0x55;
    EXPECT_FALSE(Load(corrupt, raster));
    EXPECT_EQ(raster.GetWidth(), 3);
}

TEST(RasterPng, ChunksClaimingGigabytesFailWithoutAllocatingThem)
{
    RasterImage raster;
    ASSERT_TRUE(raster.Create(3, 3, 24));
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT"}) {
        const std::int64_t before = TestPictures::PeakResidentBytes();
        EXPECT_FALSE(Load(TestPictures::PngWithOversizedChunk(type, 0x7FFFFFF0u), raster)) << type;
        EXPECT_LT(TestPictures::PeakResidentBytes() - before, std::int64_t{256} << 20) << type;
        EXPECT_EQ(raster.GetWidth(), 3);
    }
}
