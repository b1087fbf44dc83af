// The platform bitmap: pixel layout of lock-bits, copies, thumbnails, status codes,
// and bitmaps shared between threads.

#include "Gdiplus/TestPictures.h"
#include "Platform/Gdiplus/PixelCache.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Platform::Gdiplus;
using namespace TestPictures;

namespace {

TEST(Bitmap, LockBitsGivesBlueGreenRedAlphaWithTheTopRowFirst)
{
    // Two rows: the first opaque red, the second half-transparent blue.
    const std::uint8_t pixels[] = {0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 128, 255, 0, 0, 128};
    const auto bitmap = Bitmap::FromPixels(2, 2, 8, pixels);
    ASSERT_EQ(bitmap->GetWidth(), 2u);
    EXPECT_EQ(bitmap->GetRawFormat(), ImageFormat::MemoryBmp);
    BitmapData data;
    ASSERT_EQ(bitmap->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Status::Ok);
    EXPECT_EQ(data.Width, 2u);
    EXPECT_EQ(data.Stride, 8);
    EXPECT_EQ(data.PixelFormat, PixelFormat32bppARGB);
    EXPECT_EQ(0, std::memcmp(data.Scan0, pixels, sizeof pixels));
    EXPECT_EQ(bitmap->UnlockBits(&data), Status::Ok);
    EXPECT_EQ(data.Scan0, nullptr);
    EXPECT_EQ(bitmap->UnlockBits(&data), Status::InvalidParameter);
}

TEST(Bitmap, FromPixelsTakesBottomUpRowsThroughANegativeStride)
{
    const std::uint8_t rows[] = {1, 1, 1, 255, 2, 2, 2, 255};
    const auto bitmap = Bitmap::FromPixels(1, 2, -4, rows + 4);
    const std::vector<std::uint8_t> pixels = Pixels(*bitmap);
    ASSERT_EQ(pixels.size(), 8u);
    EXPECT_EQ(pixels[0], 2);
    EXPECT_EQ(pixels[4], 1);
    EXPECT_EQ(Bitmap::FromPixels(2, 1, 4, rows)->GetLastStatus(), Status::InvalidParameter);
    EXPECT_EQ(Bitmap::FromPixels(1, 1, 4, nullptr)->GetWidth(), 0u);
}

TEST(Bitmap, LockingAnAreaPointsIntoTheRowsAndRefusesWhatIsOutside)
{
    const auto bitmap = Pattern(10, 8);
    const std::vector<std::uint8_t> whole = Pixels(*bitmap);
    BitmapData data;
    const Rect area{3, 2, 4, 5};
    ASSERT_EQ(bitmap->LockBits(&area, ImageLockModeRead, PixelFormat32bppARGB, &data), Status::Ok);
    EXPECT_EQ(data.Height, 5u);
    EXPECT_EQ(0, std::memcmp(data.Scan0, &whole[(2 * 10 + 3) * 4], 16));
    bitmap->UnlockBits(&data);

    for (const Rect outside : {Rect{8, 0, 3, 1}, Rect{-1, 0, 2, 2}, Rect{0, 0, 0, 1}, Rect{0, 7, 1, 2}}) {
        EXPECT_EQ(bitmap->LockBits(&outside, ImageLockModeRead, PixelFormat32bppARGB, &data), Status::InvalidParameter);
    }
    EXPECT_EQ(bitmap->LockBits(nullptr, ImageLockModeWrite, PixelFormat32bppARGB, &data), Status::InvalidParameter);
    EXPECT_EQ(bitmap->LockBits(nullptr, ImageLockModeRead, 0x00021808, &data), Status::InvalidParameter);
    EXPECT_EQ(bitmap->GetLastStatus(), Status::InvalidParameter);
}

TEST(Bitmap, CloneAreaCopiesThePixelsOfTheArea)
{
    const auto bitmap = Pattern(10, 8, true);
    const std::vector<std::uint8_t> whole = Pixels(*bitmap);
    const auto clone = bitmap->CloneArea(2, 3, 5, 4, PixelFormat32bppARGB);
    ASSERT_TRUE(clone);
    ASSERT_EQ(clone->GetWidth(), 5u);
    const std::vector<std::uint8_t> part = Pixels(*clone);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(0, std::memcmp(&part[y * 5 * 4], &whole[((y + 3) * 10 + 2) * 4], 20));
    EXPECT_FALSE(bitmap->CloneArea(6, 0, 5, 1, PixelFormat32bppARGB));
}

TEST(Bitmap, UnreadableFilesGiveEmptyBitmapsThatFailWithAStatus)
{
    TempFolder folder;
    const auto missing = Bitmap::FromFile(folder.File("none") + L".jpg");
    const auto text = Bitmap::FromFile(folder.File("notes.png", {'h', 'e', 'l', 'l', 'o'}));
    const auto empty = Bitmap::FromFile(folder.File("empty.jpg"));
    EXPECT_EQ(missing->GetLastStatus(), Status::FileNotFound);
    EXPECT_EQ(text->GetLastStatus(), Status::UnknownImageFormat);
    EXPECT_EQ(empty->GetLastStatus(), Status::UnknownImageFormat);
    for (const auto& bitmap : {missing, text, empty}) {
        EXPECT_EQ(bitmap->GetWidth(), 0u);
        EXPECT_EQ(bitmap->GetHeight(), 0u);
        EXPECT_EQ(bitmap->GetFrameDimensionsCount(), 0u);
        EXPECT_TRUE(Pixels(*bitmap).empty());
        EXPECT_FALSE(bitmap->CloneArea(0, 0, 1, 1, PixelFormat32bppARGB));
        EXPECT_FALSE(bitmap->GetThumbnailImage(10, 10));
        EXPECT_TRUE(Encode(*bitmap, Png).empty());
    }
    EXPECT_EQ(missing->GetLastStatus(), Status::FileNotFound);
}

TEST(Bitmap, AFileReadsOnlyItsHeaderUntilPixelsAreNeeded)
{
    TempFolder folder;
    const std::wstring path = folder.File("photo.png", ReadFile(Sample("rgb.png")));
    const auto bitmap = Bitmap::FromFile(path);
    EXPECT_EQ(bitmap->GetWidth(), unsigned(SampleWidth));
    // The pixels come from the file when first needed, so a file replaced by one of
    // another size in the meantime fails instead of giving another picture.
    folder.File("photo.png", ReadFile(Sample("rgba.png")));
    EXPECT_TRUE(Pixels(*bitmap).empty());
    EXPECT_EQ(bitmap->GetLastStatus(), Status::FileNotFound);
}

TEST(Bitmap, DecodedPixelsOutliveTheCacheWhileLocked)
{
    const auto bitmap = Bitmap::FromFile(Sample("rgb.png"));
    BitmapData data;
    ASSERT_EQ(bitmap->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Status::Ok);
    const std::size_t held = PixelCache::Instance().HeldBytes();
    EXPECT_GE(held, std::size_t(SampleWidth * SampleHeight * 4));
    std::vector<std::uint8_t> copy(static_cast<const std::uint8_t*>(data.Scan0),
                                   static_cast<const std::uint8_t*>(data.Scan0) + 16);
    const auto* scan0 = data.Scan0;
    {
        // Another bitmap of the same file decodes on its own; destroying it leaves
        // the first one's pixels alone.
        const auto other = Bitmap::FromFile(Sample("rgb.png"));
        EXPECT_EQ(Pixels(*other).size(), std::size_t(SampleWidth * SampleHeight * 4));
    }
    EXPECT_EQ(0, std::memcmp(scan0, copy.data(), copy.size()));
    bitmap->UnlockBits(&data);
}

TEST(Bitmap, ThumbnailsHaveTheAskedSizeAndAverageTheArea)
{
    // Left half black, right half white: the middle column of a 3-wide reduction of
    // a 6-wide picture covers one pixel of each.
    std::vector<std::uint8_t> pixels(6 * 2 * 4, 255);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            std::fill_n(&pixels[(y * 6 + x) * 4], 3, 0);
    }
    const auto bitmap = Bitmap::FromPixels(6, 2, 24, pixels.data());
    const auto thumbnail = bitmap->GetThumbnailImage(3, 1);
    ASSERT_TRUE(thumbnail);
    const std::vector<std::uint8_t> small = Pixels(*thumbnail);
    ASSERT_EQ(small.size(), 12u);
    EXPECT_EQ(small[0], 0);
    EXPECT_NEAR(small[4], 128, 1);
    EXPECT_EQ(small[8], 255);
    EXPECT_FALSE(bitmap->GetThumbnailImage(0, 5));
    EXPECT_EQ(bitmap->GetLastStatus(), Status::InvalidParameter);
}

TEST(Bitmap, JpegThumbnailsFromAReducedDecodeMatchAFullDecode)
{
    const auto source = Pattern(640, 480);
    const std::vector<std::uint8_t> bytes = Encode(*source, Jpeg);

    const auto jpeg = Bitmap::FromMemory(bytes.data(), bytes.size());
    const auto reduced = jpeg->GetThumbnailImage(80, 60); // decoded at 1/8
    const auto full = jpeg->CloneArea(0, 0, 640, 480, PixelFormat32bppARGB)->GetThumbnailImage(80, 60);
    ASSERT_TRUE(reduced && full);
    const std::vector<std::uint8_t> a = Pixels(*reduced);
    const std::vector<std::uint8_t> b = Pixels(*full);
    ASSERT_EQ(a.size(), b.size());
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    EXPECT_LE(largest, 4);
}

TEST(Bitmap, ThreadsShareFileBitmapsSafely)
{
    const std::vector<std::shared_ptr<Bitmap>> bitmaps = {Bitmap::FromFile(Sample("rgb.png")),
                                                          Bitmap::FromFile(Sample("gif.gif")),
                                                          Bitmap::FromFile(Sample("tiff-plain.tif"))};
    const std::vector<std::uint8_t> expected = Pixels(*bitmaps[0]);
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                for (const auto& bitmap : bitmaps) {
                    if (Pixels(*bitmap) != expected || !bitmap->GetThumbnailImage(3, 2))
                        ++mismatches;
                    if (Encode(*bitmap, Png).empty())
                        ++mismatches;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, 0);
}

} // namespace
