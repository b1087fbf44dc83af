// HEIC, AVIF and WebP through the bitmap: the upright size and pixels of a turned
// photo, thumbnails (HEIC's embedded one when it is large enough, WebP's scaled
// decoding), encoding for the upload, and damaged or lying files failing with a status.

#include "Gdiplus/NewFormatSamples.h"
#include "Gdiplus/TestPictures.h"

#include <gtest/gtest.h>

#include <random>

using namespace Platform::Gdiplus;
using namespace NewFormatSamples;
using namespace TestPictures;

namespace {

constexpr Colour Quarters[4] = {Red, Green, Blue, White};
constexpr Colour Inverse[4] = {White, Blue, Green, Red};
// Stored 96 x 64; the files say to turn it a quarter clockwise (Exif orientation 6).
constexpr int StoredWidth = 96;
constexpr int StoredHeight = 64;
constexpr int TurnedClockwise = 6;

// The quarters of a picture turned a quarter clockwise: the stored bottom-left comes to
// the top-left, the stored top-left to the top-right.
constexpr int TurnedOrder[4] = {2, 0, 3, 1};

std::shared_ptr<Bitmap> Load(const std::vector<std::uint8_t>& bytes)
{
    return Bitmap::FromMemory(bytes.data(), bytes.size());
}

// Each quarter's centre holds the colour of the stored quarter that turning brings there.
void ExpectTurnedQuarters(const Bitmap& bitmap, const Colour (&stored)[4], const char* what)
{
    SCOPED_TRACE(what);
    const std::vector<std::uint8_t> pixels = Pixels(bitmap);
    ASSERT_FALSE(pixels.empty()) << static_cast<int>(bitmap.GetLastStatus());
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int x = width / 4 + (quarter % 2) * width / 2;
        const int y = height / 4 + (quarter / 2) * height / 2;
        const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
        const Colour expected = stored[TurnedOrder[quarter]];
        EXPECT_NEAR(p[2], expected.r, 40) << "quarter " << quarter;
        EXPECT_NEAR(p[1], expected.g, 40) << "quarter " << quarter;
        EXPECT_NEAR(p[0], expected.b, 40) << "quarter " << quarter;
        EXPECT_EQ(p[3], 255);
    }
}

// Size, format, upright pixels, a thumbnail of the asked size turned like the picture
// (showing the given quarters), and the JPEG the upload sends, read back at the upright
// size.
void ExpectUprightPicture(const std::vector<std::uint8_t>& file, ImageFormat format,
                          const Colour (&thumbnailQuarters)[4] = Quarters)
{
    ASSERT_FALSE(file.empty());
    const std::shared_ptr<Bitmap> bitmap = Load(file);
    ASSERT_EQ(bitmap->GetLastStatus(), Status::Ok);
    EXPECT_EQ(bitmap->GetRawFormat(), format);
    ASSERT_EQ(bitmap->GetWidth(), static_cast<unsigned>(StoredHeight));
    ASSERT_EQ(bitmap->GetHeight(), static_cast<unsigned>(StoredWidth));
    ExpectTurnedQuarters(*bitmap, Quarters, "picture");

    const std::shared_ptr<Bitmap> fresh = Load(file); // no decoded pixels to reuse
    const std::shared_ptr<Bitmap> thumbnail = fresh->GetThumbnailImage(16, 24);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->GetWidth(), 16u);
    EXPECT_EQ(thumbnail->GetHeight(), 24u);
    ExpectTurnedQuarters(*thumbnail, thumbnailQuarters, "thumbnail");

    const std::vector<std::uint8_t> jpeg = Encode(*bitmap, Jpeg, 90);
    const std::shared_ptr<Bitmap> sent = Load(jpeg);
    EXPECT_EQ(sent->GetRawFormat(), ImageFormat::Jpeg);
    EXPECT_EQ(sent->GetWidth(), static_cast<unsigned>(StoredHeight));
    EXPECT_EQ(sent->GetHeight(), static_cast<unsigned>(StoredWidth));
    ExpectTurnedQuarters(*sent, Quarters, "sent as JPEG");
}

// Cut short anywhere, the file gives no picture and no thumbnail, with a status.
void ExpectTruncationsFail(const std::vector<std::uint8_t>& file)
{
    for (const std::size_t length :
         {std::size_t{0}, std::size_t{11}, std::size_t{40}, file.size() / 3, file.size() / 2, file.size() - 16}) {
        SCOPED_TRACE(length);
        const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        const std::shared_ptr<Bitmap> bitmap = Load(cut);
        if (bitmap->GetFrameDimensionsCount() == 0) {
            EXPECT_NE(bitmap->GetLastStatus(), Status::Ok);
            continue;
        }
        BitmapData data;
        EXPECT_NE(bitmap->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Status::Ok);
        EXPECT_FALSE(bitmap->GetThumbnailImage(8, 8));
        EXPECT_NE(bitmap->GetLastStatus(), Status::Ok);
    }
}

void PutBig32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// The HEIF file with every image size property (ispe) claiming width x height.
std::vector<std::uint8_t> HeifClaiming(std::vector<std::uint8_t> file, std::uint32_t width, std::uint32_t height)
{
    static const std::uint8_t ispe[] = {'i', 's', 'p', 'e'};
    for (auto at = file.begin(); (at = std::search(at, file.end(), ispe, ispe + 4)) != file.end(); ++at) {
        const auto offset = static_cast<std::size_t>(at - file.begin());
        PutBig32(file, offset + 8, width);
        PutBig32(file, offset + 12, height);
    }
    return file;
}

TEST(NewFormatTest, HeicIsUprightAndItsEmbeddedThumbnailServesSmallBoxes)
{
    const std::vector<std::uint8_t> file =
        Heif(heif_compression_HEVC, StoredWidth, StoredHeight, TurnedClockwise, Quarters, &Inverse);
    ExpectUprightPicture(file, ImageFormat::Heif, Inverse);

    // The embedded thumbnail (48 x 32 stored) shows other colours, so the source of a
    // thumbnail can be seen: it covers a box of half the size, not a larger one.
    const std::shared_ptr<Bitmap> small = Load(file)->GetThumbnailImage(32, 48);
    ASSERT_TRUE(small);
    ExpectTurnedQuarters(*small, Inverse, "from the embedded thumbnail");
    const std::shared_ptr<Bitmap> large = Load(file)->GetThumbnailImage(40, 60);
    ASSERT_TRUE(large);
    ExpectTurnedQuarters(*large, Quarters, "too large for the embedded thumbnail");

    ExpectTruncationsFail(file);
    const std::shared_ptr<Bitmap> huge = Load(HeifClaiming(file, 60000, 60000));
    EXPECT_EQ(huge->GetFrameDimensionsCount(), 0u);
    EXPECT_EQ(huge->GetLastStatus(), Status::ValueOverflow);
}

TEST(NewFormatTest, AvifIsUpright)
{
    const std::vector<std::uint8_t> file =
        Heif(heif_compression_AV1, StoredWidth, StoredHeight, TurnedClockwise, Quarters);
    ExpectUprightPicture(file, ImageFormat::Avif);
    ExpectTruncationsFail(file);
    EXPECT_EQ(Load(HeifClaiming(file, 30000, 30000))->GetLastStatus(), Status::ValueOverflow);
}

TEST(NewFormatTest, WebpIsUprightByItsExifOrientation)
{
    const std::vector<std::uint8_t> simple =
        WebpOf(QuarterRgb(StoredWidth, StoredHeight, Quarters), StoredWidth, StoredHeight, 90);
    ExpectUprightPicture(WebpWithOrientation(simple, StoredWidth, StoredHeight, TurnedClockwise), ImageFormat::WebP);

    const std::shared_ptr<Bitmap> plain = Load(simple);
    EXPECT_EQ(plain->GetWidth(), static_cast<unsigned>(StoredWidth));
    EXPECT_EQ(plain->GetHeight(), static_cast<unsigned>(StoredHeight));

    ExpectTruncationsFail(simple);
    std::vector<std::uint8_t> lying = simple; // the frame header's 14-bit sides at their largest
    for (const std::size_t at : {26, 28}) {
        lying[at] = 0xFF;
        lying[at + 1] = 0x3F;
    }
    EXPECT_EQ(Load(lying)->GetLastStatus(), Status::ValueOverflow);
}

// A camera-size noisy photo of several megabytes: read at its size, and its thumbnail
// keeps the picture's average colour.
TEST(NewFormatTest, RealSizeWebpPhotoGivesItsThumbnail)
{
    constexpr int width = 3000, height = 2000;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>((i % 3 == 0 ? 160 : i % 3 == 1 ? 90 : 40) + random() % 64);
    const std::vector<std::uint8_t> file = WebpOf(rgb, width, height, 95);
    ASSERT_GT(file.size(), 2u << 20);
    const std::shared_ptr<Bitmap> photo = Load(file);
    ASSERT_EQ(photo->GetWidth(), static_cast<unsigned>(width));
    ASSERT_EQ(photo->GetHeight(), static_cast<unsigned>(height));
    const std::shared_ptr<Bitmap> thumbnail = photo->GetThumbnailImage(120, 80);
    ASSERT_TRUE(thumbnail);
    const std::vector<std::uint8_t> pixels = Pixels(*thumbnail);
    ASSERT_EQ(pixels.size(), std::size_t{120} * 80 * 4);
    double sum[3] = {};
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            sum[c] += pixels[i + 2 - c];
    EXPECT_NEAR(sum[0] / (120 * 80), 160 + 31.5, 8);
    EXPECT_NEAR(sum[1] / (120 * 80), 90 + 31.5, 8);
    EXPECT_NEAR(sum[2] / (120 * 80), 40 + 31.5, 8);
}

} // namespace
