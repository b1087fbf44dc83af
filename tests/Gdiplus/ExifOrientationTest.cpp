// Photos taken with the camera turned: the Exif orientation is read from hostile
// bytes without ever reading outside them, and a JPEG that carries one is held
// upright in its size, pixels, thumbnails and encoded bytes.

#include "Gdiplus/ExifJpeg.h"
#include "Platform/Gdiplus/ExifBlock.h"

#include <gtest/gtest.h>

using namespace Platform::Gdiplus;
using namespace ExifJpeg;

namespace {

int Read(const std::vector<std::uint8_t>& payload)
{
    return ReadExifOrientation(payload.data(), payload.size());
}

// Where the stored quadrants appear once the picture is upright, by the Exif
// definition of each value (1: as stored; 6: the stored top row becomes the right
// column; 8: the stored top row becomes the left column; and so on).
const std::array<Colour, 4> Upright[9] = {
    {},
    {Red, Green, Blue, White},
    {Green, Red, White, Blue},
    {White, Blue, Green, Red},
    {Blue, White, Red, Green},
    {Red, Blue, Green, White},
    {Blue, Red, White, Green},
    {White, Green, Blue, Red},
    {Green, White, Red, Blue},
};

TEST(ExifOrientation, EveryValueIsReadInEitherByteOrder)
{
    for (int value = 1; value <= 8; ++value) {
        EXPECT_EQ(Read(ExifPayload({{OrientationTag, Short, 1, static_cast<std::uint32_t>(value)}}, true)), value);
        EXPECT_EQ(Read(ExifPayload({{OrientationTag, Short, 1, static_cast<std::uint32_t>(value)}}, false)), value);
    }
    // Behind other entries of the directory.
    EXPECT_EQ(Read(ExifPayload({{0x010F, 2, 4, 0}, {0x0110, 2, 4, 0}, {OrientationTag, Short, 1, 6}})), 6);
}

TEST(ExifOrientation, AnythingButAPlainValidEntryMeansUpright)
{
    EXPECT_EQ(Read(ExifPayload({})), 1);
    EXPECT_EQ(Read(ExifPayload({{0x010F, 2, 4, 0}})), 1);
    for (const std::uint32_t value : {0u, 9u, 0xFFFFu})
        EXPECT_EQ(Read(ExifPayload({{OrientationTag, Short, 1, value}})), 1) << value;
    EXPECT_EQ(Read(ExifPayload({{OrientationTag, Long, 1, 6}})), 1);
    EXPECT_EQ(Read(ExifPayload({{OrientationTag, Short, 2, 6}})), 1);

    std::vector<std::uint8_t> payload = ExifPayload({{OrientationTag, Short, 1, 6}});
    auto changed = [&](std::size_t at, std::uint8_t byte) {
        std::vector<std::uint8_t> copy = payload;
        copy[at] = byte;
        return Read(copy);
    };
    EXPECT_EQ(changed(0, 'e'), 1); // not an Exif block
    EXPECT_EQ(changed(7, 'I'), 1); // mixed byte order mark
    EXPECT_EQ(changed(9, 43), 1); // not the TIFF magic number
    EXPECT_EQ(changed(12, 0xF0), 1); // directory far beyond the block
    std::vector<std::uint8_t> crowded = ExifPayload({{0x010F, 2, 4, 0}});
    crowded[14] = 0xFF; // more entries than the block holds
    EXPECT_EQ(Read(crowded), 1);
    EXPECT_EQ(ReadExifOrientation(nullptr, 100), 1);
}

TEST(ExifOrientation, EveryTruncationIsReadWithinItsBytes)
{
    // Each cut is copied into a buffer of exactly its size, so that a read past the
    // end shows under the address sanitizer.
    const std::vector<std::uint8_t> payload = ExifPayload({{0x010F, 2, 4, 0}, {OrientationTag, Short, 1, 3}});
    for (std::size_t keep = 0; keep < payload.size(); ++keep) {
        const std::vector<std::uint8_t> cut(payload.begin(), payload.begin() + static_cast<long>(keep));
        // The value ends 6 bytes before the block: the next-directory offset follows.
        EXPECT_EQ(Read(cut), keep >= payload.size() - 6 ? 3 : 1) << keep;
    }
}

TEST(ExifOrientation, TurnedPhotosAreHeldUprightInSizePixelsThumbnailsAndEncoding)
{
    const std::vector<std::uint8_t> stored = QuadrantJpeg(256, 128);
    for (int value = 1; value <= 8; ++value) {
        SCOPED_TRACE(value);
        const std::vector<std::uint8_t> file = WithOrientation(stored, value, value % 2 == 0);
        const auto bitmap = Bitmap::FromMemory(file.data(), file.size());
        const unsigned width = value >= 5 ? 128 : 256;
        const unsigned height = value >= 5 ? 256 : 128;
        ASSERT_EQ(bitmap->GetWidth(), width);
        ASSERT_EQ(bitmap->GetHeight(), height);

        // Before the pixels are decoded, a thumbnail comes from a reduced decode.
        const auto fromReduced = bitmap->GetThumbnailImage(width / 4, height / 4);
        ASSERT_TRUE(fromReduced);
        EXPECT_EQ(fromReduced->GetWidth(), width / 4);
        EXPECT_EQ(Quadrants(*fromReduced), Upright[value]);

        EXPECT_EQ(Quadrants(*bitmap), Upright[value]);
        const auto fromPixels = bitmap->GetThumbnailImage(width / 4, height / 4);
        ASSERT_TRUE(fromPixels);
        EXPECT_EQ(Quadrants(*fromPixels), Upright[value]);

        const std::vector<std::uint8_t> encoded = TestPictures::Encode(*bitmap, TestPictures::Jpeg, 100);
        const auto reloaded = Bitmap::FromMemory(encoded.data(), encoded.size());
        EXPECT_EQ(reloaded->GetWidth(), width);
        EXPECT_EQ(Quadrants(*reloaded), Upright[value]);
    }
}

TEST(ExifOrientation, PhotosWithoutTheTagAreUnchanged)
{
    const std::vector<std::uint8_t> stored = QuadrantJpeg(64, 32);
    for (const auto& file :
         {stored, WithApp1(stored, ExifPayload({{0x010F, 2, 4, 0}})), WithApp1(stored, {'X', 'M', 'P', 0})}) {
        const auto bitmap = Bitmap::FromMemory(file.data(), file.size());
        EXPECT_EQ(bitmap->GetWidth(), 64u);
        EXPECT_EQ(bitmap->GetHeight(), 32u);
        EXPECT_EQ(Quadrants(*bitmap), Upright[1]);
    }
}

} // namespace
