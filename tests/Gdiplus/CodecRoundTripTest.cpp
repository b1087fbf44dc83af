// Every encoder's output loads again: lossless formats give back the very pixels,
// JPEG comes within a small difference, GIF keeps pictures of up to 256 colours.

#include "Gdiplus/TestPictures.h"

#include <gtest/gtest.h>

using namespace Platform::Gdiplus;
using namespace TestPictures;

namespace {

std::shared_ptr<Bitmap> Reload(const std::vector<std::uint8_t>& bytes)
{
    return Bitmap::FromMemory(bytes.data(), bytes.size());
}

int LargestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    EXPECT_EQ(a.size(), b.size());
    int largest = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

TEST(CodecRoundTrip, LosslessFormatsGiveBackEveryPixel)
{
    for (const bool alpha : {false, true}) {
        const auto picture = Pattern(37, 23, alpha);
        const std::vector<std::uint8_t> original = Pixels(*picture);
        for (const auto& [encoder, format] :
             {std::pair{Png, ImageFormat::Png}, std::pair{Bmp, ImageFormat::Bmp}, std::pair{Tiff, ImageFormat::Tiff}}) {
            SCOPED_TRACE(testing::Message() << "alpha " << alpha << " format " << int(format));
            const auto loaded = Reload(Encode(*picture, encoder));
            EXPECT_EQ(loaded->GetRawFormat(), format);
            EXPECT_EQ(Pixels(*loaded), original);
        }
    }
}

TEST(CodecRoundTrip, OpaqueBitmapsAreWrittenWithoutAnAlphaChannel)
{
    const auto picture = Pattern(4, 4);
    const std::vector<std::uint8_t> bmp = Encode(*picture, Bmp);
    ASSERT_GT(bmp.size(), 30u);
    EXPECT_EQ(bmp[28], 24); // bits per pixel
    const std::vector<std::uint8_t> withAlpha = Encode(*Pattern(4, 4, true), Bmp);
    ASSERT_GT(withAlpha.size(), 30u);
    EXPECT_EQ(withAlpha[28], 32);
    const std::vector<std::uint8_t> png = Encode(*picture, Png);
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(png[25], 2); // colour type RGB
}

TEST(CodecRoundTrip, JpegComesCloseAndQualityChangesTheSize)
{
    const auto picture = Pattern(64, 48);
    const std::vector<std::uint8_t> best = Encode(*picture, Jpeg, 100);
    const std::vector<std::uint8_t> poor = Encode(*picture, Jpeg, 10);
    ASSERT_FALSE(best.empty());
    EXPECT_LT(poor.size(), best.size());
    const auto loaded = Reload(best);
    EXPECT_EQ(loaded->GetRawFormat(), ImageFormat::Jpeg);
    EXPECT_LE(LargestDifference(Pixels(*loaded), Pixels(*picture)), 6);
    EXPECT_TRUE(Encode(*picture, Jpeg, 101).empty());
    EXPECT_EQ(picture->GetLastStatus(), Status::InvalidParameter);
}

TEST(CodecRoundTrip, GifKeepsAPictureOfFewColoursExactly)
{
    const auto sample = Bitmap::FromFile(Sample("transparent.gif"));
    const std::vector<std::uint8_t> original = Pixels(*sample);
    const auto loaded = Reload(Encode(*sample, Gif));
    EXPECT_EQ(loaded->GetRawFormat(), ImageFormat::Gif);
    EXPECT_EQ(Pixels(*loaded), original);
}

TEST(CodecRoundTrip, GifWithAFullPaletteAndTransparencyFallsBackToTheCube)
{
    // 256 opaque colours leave no entry for transparency.
    std::vector<std::uint8_t> pixels(257 * 4, 0);
    for (int i = 0; i < 256; ++i) {
        pixels[i * 4] = static_cast<std::uint8_t>(i);
        pixels[i * 4 + 3] = 255;
    }
    const auto picture = Bitmap::FromPixels(257, 1, 257 * 4, pixels.data());
    const std::vector<std::uint8_t> loaded = Pixels(*Reload(Encode(*picture, Gif)));
    ASSERT_EQ(loaded.size(), pixels.size());
    EXPECT_EQ(loaded[256 * 4 + 3], 0);
    EXPECT_EQ(loaded[255 * 4], 255);
    EXPECT_EQ(loaded[100 * 4], 102); // nearest level of the cube
}

TEST(CodecRoundTrip, GifPutsManyColoursOnTheColourCube)
{
    const auto picture = Pattern(40, 30, true);
    const std::vector<std::uint8_t> original = Pixels(*picture);
    const std::vector<std::uint8_t> loaded = Pixels(*Reload(Encode(*picture, Gif)));
    ASSERT_EQ(loaded.size(), original.size());
    for (std::size_t i = 0; i < original.size(); i += 4) {
        const bool transparent = original[i + 3] < 128;
        ASSERT_EQ(loaded[i + 3], transparent ? 0 : 255);
        for (int c = 0; !transparent && c < 3; ++c) {
            EXPECT_LE(std::abs(loaded[i + c] - original[i + c]), 26);
            EXPECT_EQ(loaded[i + c] % 51, 0);
        }
    }
}

TEST(CodecRoundTrip, UnknownEncoderIsRefused)
{
    const auto picture = Pattern(4, 4);
    EXPECT_TRUE(Encode(*picture, 0x557CF403).empty());
    EXPECT_EQ(picture->GetLastStatus(), Status::InvalidParameter);
}

} // namespace

TEST(CodecRoundTrip, JpegHoldsSidesUpTo65500PixelsAndRefusesLongerOnesAsTooLarge)
{
    for (const auto& [width, height] : {std::pair{65500, 1}, std::pair{1, 65500}}) {
        const auto picture = Pattern(width, height);
        const auto loaded = Reload(Encode(*picture, Jpeg));
        EXPECT_EQ(loaded->GetWidth(), unsigned(width));
        EXPECT_EQ(loaded->GetHeight(), unsigned(height));
    }
    for (const auto& [width, height] : {std::pair{65501, 1}, std::pair{1, 65535}}) {
        const auto picture = Pattern(width, height);
        MemoryStream stream;
        EXPECT_EQ(picture->Save(stream, ImageEncoderClsid(Jpeg), nullptr), Status::ValueOverflow);
        EXPECT_EQ(stream.Size(), 0u);
        // Formats with room for it still take the picture.
        EXPECT_FALSE(Encode(*picture, Png).empty());
    }
}
