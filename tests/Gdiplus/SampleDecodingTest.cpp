// Files written by other tools (ImageMagick, cjpeg) decode to the pattern they were
// made from: the format variants each decoder claims to read.

#include "Gdiplus/TestPictures.h"

#include <gtest/gtest.h>

using namespace Platform::Gdiplus;
using namespace TestPictures;

namespace {

enum class Content { Colours, ColoursWithAlpha, Checkerboard };

struct SampleCase {
    const char* file;
    ImageFormat format;
    Content content;
    int tolerance; // largest difference allowed in any colour channel
};

std::array<std::uint8_t, 4> Expected(Content content, int x, int y)
{
    if (content == Content::Checkerboard) {
        const std::uint8_t v = (x + y) % 2 ? 255 : 0;
        return {v, v, v, 255};
    }
    std::array<std::uint8_t, 4> colour = SampleColour(x, y);
    if (content == Content::ColoursWithAlpha)
        colour[3] = SampleAlpha(x);
    return colour;
}

// The largest channel difference; colours of fully transparent pixels do not count.
int LargestDifference(const std::vector<std::uint8_t>& pixels, Content content)
{
    int largest = 0;
    for (int y = 0; y < SampleHeight; ++y) {
        for (int x = 0; x < SampleWidth; ++x) {
            const std::uint8_t* got = &pixels[static_cast<std::size_t>(y * SampleWidth + x) * 4];
            const std::array<std::uint8_t, 4> want = Expected(content, x, y);
            largest = std::max(largest, std::abs(got[3] - want[3]));
            if (want[3] == 0)
                continue;
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(got[c] - want[static_cast<std::size_t>(c)]));
        }
    }
    return largest;
}

const SampleCase Samples[] = {
    {"rgb.png", ImageFormat::Png, Content::Colours, 0},
    {"palette.png", ImageFormat::Png, Content::Colours, 0},
    {"interlaced16.png", ImageFormat::Png, Content::Colours, 0},
    {"rgba.png", ImageFormat::Png, Content::ColoursWithAlpha, 0},
    {"gray.png", ImageFormat::Png, Content::Checkerboard, 0},
    {"bmp1.bmp", ImageFormat::Bmp, Content::Checkerboard, 0},
    {"bmp4.bmp", ImageFormat::Bmp, Content::Colours, 0},
    {"bmp8rle.bmp", ImageFormat::Bmp, Content::Colours, 0},
    {"bmp16.bmp", ImageFormat::Bmp, Content::Colours, 10}, // 5 and 6 bits a channel
    {"bmp24.bmp", ImageFormat::Bmp, Content::Colours, 0},
    {"bmp32a.bmp", ImageFormat::Bmp, Content::ColoursWithAlpha, 0},
    {"gif.gif", ImageFormat::Gif, Content::Colours, 0},
    {"interlaced.gif", ImageFormat::Gif, Content::Colours, 0},
    {"tiff-plain.tif", ImageFormat::Tiff, Content::Colours, 0},
    {"tiff-tiled.tif", ImageFormat::Tiff, Content::Colours, 0},
    {"tiff-planar.tif", ImageFormat::Tiff, Content::Colours, 0},
    {"tiff16.tif", ImageFormat::Tiff, Content::Colours, 0},
    {"tiff-gray.tif", ImageFormat::Tiff, Content::Checkerboard, 0},
    // Premultiplied by libtiff's reader and divided again: a little precision goes.
    {"tiff-alpha.tif", ImageFormat::Tiff, Content::ColoursWithAlpha, 4},
    {"gray.jpg", ImageFormat::Jpeg, Content::Checkerboard, 40},
};

TEST(SampleDecoding, EveryVariantDecodesToItsPattern)
{
    for (const SampleCase& sample : Samples) {
        SCOPED_TRACE(sample.file);
        const auto bitmap = Bitmap::FromFile(Sample(sample.file));
        ASSERT_EQ(bitmap->GetLastStatus(), Status::Ok);
        EXPECT_EQ(bitmap->GetRawFormat(), sample.format);
        ASSERT_EQ(bitmap->GetWidth(), unsigned(SampleWidth));
        ASSERT_EQ(bitmap->GetHeight(), unsigned(SampleHeight));
        const std::vector<std::uint8_t> pixels = Pixels(*bitmap);
        ASSERT_EQ(pixels.size(), std::size_t(SampleWidth * SampleHeight * 4));
        EXPECT_LE(LargestDifference(pixels, sample.content), sample.tolerance);
    }
}

double Luma(const std::uint8_t* bgr)
{
    return 0.114 * bgr[0] + 0.587 * bgr[1] + 0.299 * bgr[2];
}

// Chroma subsampling blurs the colours of this tiny, busy pattern; brightness stays.
TEST(SampleDecoding, ColourJpegsKeepTheirBrightness)
{
    for (const char* file : {"baseline.jpg", "progressive.jpg", "cmyk.jpg"}) {
        SCOPED_TRACE(file);
        const auto bitmap = Bitmap::FromFile(Sample(file));
        const std::vector<std::uint8_t> pixels = Pixels(*bitmap);
        ASSERT_EQ(pixels.size(), std::size_t(SampleWidth * SampleHeight * 4));
        double total = 0;
        for (int y = 0; y < SampleHeight; ++y) {
            for (int x = 0; x < SampleWidth; ++x) {
                const std::uint8_t* got = &pixels[static_cast<std::size_t>(y * SampleWidth + x) * 4];
                total += std::abs(Luma(got) - Luma(SampleColour(x, y).data()));
                EXPECT_EQ(got[3], 255);
            }
        }
        EXPECT_LT(total / (SampleWidth * SampleHeight), 6.0);
    }
}

TEST(SampleDecoding, GifTransparencyBecomesClearPixels)
{
    const auto bitmap = Bitmap::FromFile(Sample("transparent.gif"));
    const std::vector<std::uint8_t> pixels = Pixels(*bitmap);
    ASSERT_EQ(pixels.size(), std::size_t(SampleWidth * SampleHeight * 4));
    for (int y = 0; y < SampleHeight; ++y) {
        EXPECT_EQ(pixels[static_cast<std::size_t>(y * SampleWidth + 0) * 4 + 3], 255);
        EXPECT_EQ(pixels[static_cast<std::size_t>(y * SampleWidth + 2) * 4 + 3], 0);
    }
}

} // namespace
