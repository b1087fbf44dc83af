// Turned bitmaps: quarter turns compose with the orientation a photo was stored in,
// file-backed pictures stay file-backed (no decoded copy held), and turned pictures
// are opaque.

#include "Gdiplus/ExifJpeg.h"
#include "Platform/Gdiplus/PixelCache.h"

#include <gtest/gtest.h>

using namespace Platform::Gdiplus;
using namespace ExifJpeg;

namespace {

using Corners = std::array<Colour, 4>; // top left, top right, bottom left, bottom right

Corners TurnedClockwise(const Corners& c, int quarterTurns)
{
    Corners turned = c;
    for (int i = 0; i < ((quarterTurns % 4) + 4) % 4; ++i)
        turned = {turned[2], turned[0], turned[3], turned[1]};
    return turned;
}

TEST(TurnedBitmap, TurnsComposeWithTheStoredOrientationInSizePixelsAndThumbnails)
{
    const std::vector<std::uint8_t> stored = QuadrantJpeg(256, 128);
    for (int value = 1; value <= 8; ++value) {
        const std::vector<std::uint8_t> file = WithOrientation(stored, value);
        const auto bitmap = Bitmap::FromMemory(file.data(), file.size());
        const Corners upright = Quadrants(*bitmap);
        for (int turns : {-1, 1, 2, 3, 5}) {
            SCOPED_TRACE(testing::Message() << "orientation " << value << ", turns " << turns);
            const auto turned = bitmap->TurnedOpaque(turns);
            ASSERT_TRUE(turned);
            const bool swapped = turns % 2 != 0;
            EXPECT_EQ(turned->GetWidth(), swapped ? bitmap->GetHeight() : bitmap->GetWidth());
            EXPECT_EQ(turned->GetHeight(), swapped ? bitmap->GetWidth() : bitmap->GetHeight());
            // The thumbnail first, from a reduced decode, then the full pixels.
            const auto thumbnail = turned->GetThumbnailImage(turned->GetWidth() / 4, turned->GetHeight() / 4);
            ASSERT_TRUE(thumbnail);
            EXPECT_EQ(Quadrants(*thumbnail), TurnedClockwise(upright, turns));
            EXPECT_EQ(Quadrants(*turned), TurnedClockwise(upright, turns));
        }
    }
}

TEST(TurnedBitmap, TurningAFileBackedPictureDecodesNothing)
{
    TestPictures::TempFolder folder;
    const auto bitmap = Bitmap::FromFile(folder.File("photo.jpg", QuadrantJpeg(800, 600)));
    const std::size_t held = PixelCache::Instance().HeldBytes();
    std::shared_ptr<Bitmap> turned = bitmap;
    for (int i = 0; i < 7; ++i)
        turned = turned->TurnedOpaque(1);
    EXPECT_EQ(PixelCache::Instance().HeldBytes(), held);
    EXPECT_EQ(turned->GetWidth(), 600u);
    EXPECT_EQ(turned->GetRawFormat(), bitmap->GetRawFormat());
    EXPECT_EQ(Quadrants(*turned), (Corners{Green, White, Red, Blue}));
}

TEST(TurnedBitmap, PixelPicturesTurnTheirPixelsAndEveryTurnedPictureIsOpaque)
{
    // Two columns: opaque red on the left, half transparent blue on the right.
    const std::vector<std::uint8_t> pixels = {0, 0, 255, 255, 255, 0, 0, 128};
    const auto picture = Bitmap::FromPixels(2, 1, 8, pixels.data());
    const auto right = picture->TurnedOpaque(1);
    ASSERT_TRUE(right);
    EXPECT_EQ(right->GetWidth(), 1u);
    EXPECT_EQ(TestPictures::Pixels(*right), (std::vector<std::uint8_t>{0, 0, 255, 255, 255, 0, 0, 255}));
    const auto left = picture->TurnedOpaque(-1);
    EXPECT_EQ(TestPictures::Pixels(*left), (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 255, 255}));

    const std::vector<std::uint8_t> png = TestPictures::Encode(*picture, TestPictures::Png);
    const auto file = Bitmap::FromMemory(png.data(), png.size());
    EXPECT_EQ(TestPictures::Pixels(*file->TurnedOpaque(2)),
              (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 255, 255}));
}

TEST(TurnedBitmap, UnreadablePicturesCannotBeTurned)
{
    const auto missing = Bitmap::FromFile(L"/nonexistent/photo.jpg");
    EXPECT_FALSE(missing->TurnedOpaque(1));
    EXPECT_EQ(missing->GetLastStatus(), Status::FileNotFound);
}

} // namespace
