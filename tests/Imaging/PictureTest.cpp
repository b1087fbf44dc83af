// Picture functions: the longer-side fit rule, thumbnails, copies, and encoding by
// format name.

#include "Gdiplus/TestPictures.h"
#include "Imaging/Picture.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Platform::Gdiplus;
using namespace TestPictures;

namespace {

std::pair<unsigned, unsigned> SizeOf(const PictureHandle& picture)
{
    return {picture->GetWidth(), picture->GetHeight()};
}

TEST(FitInside, FitsBothSidesAndNeverEnlarges)
{
    auto size = [](FittedSize f) { return std::pair{f.width, f.height}; };
    EXPECT_EQ(size(FitInside(3000, 2500, 1920, 1040)), (std::pair{1248, 1040}));
    EXPECT_EQ(size(FitInside(4000, 1000, 1920, 1040)), (std::pair{1920, 480}));
    EXPECT_EQ(size(FitInside(4000, 3000, 697, 498)), (std::pair{664, 498}));
    EXPECT_EQ(FitInside(300, 200, 697, 498).scale, 1.0f);
    EXPECT_EQ(size(FitInside(300, 498, 697, 498)), (std::pair{300, 498}));
    EXPECT_EQ(size(FitInside(65535, 1, 100, 100)), (std::pair{100, 1}));
}

TEST(FitScale, FollowsTheLongerSide)
{
    const FittedSize same = FitScale(120, 120, 120, 120);
    EXPECT_EQ(same.scale, 1.0f);
    EXPECT_EQ(same.width, 120);
    const FittedSize smaller = FitScale(100, 50, 120, 120);
    EXPECT_EQ(smaller.scale, 1.0f);
    EXPECT_EQ(smaller.height, 50);
    const FittedSize wide = FitScale(240, 120, 120, 120);
    EXPECT_EQ(wide.scale, 0.5f);
    EXPECT_EQ(wide.width, 120);
    EXPECT_EQ(wide.height, 60);
    const FittedSize tall = FitScale(90, 200, 120, 120);
    EXPECT_EQ(tall.width, 54);
    EXPECT_EQ(tall.height, 120);
    // Only the longer side counts, so the other may exceed a box that is not square.
    const FittedSize overhang = FitScale(300, 250, 200, 100);
    EXPECT_EQ(overhang.width, 200);
    EXPECT_EQ(overhang.height, 166);
    // One side equal to the box and the other smaller still scales (by 1).
    const FittedSize edge = FitScale(120, 60, 120, 120);
    EXPECT_EQ(edge.width, 120);
    EXPECT_EQ(edge.height, 60);
    // A picture smaller than the box on the longer side is enlarged.
    const FittedSize enlarged = FitScale(100, 50, 120, 40);
    EXPECT_EQ(enlarged.width, 120);
    EXPECT_EQ(enlarged.height, 60);
}

TEST(MakeThumbnail, CopiesOrReducesByTheFitRule)
{
    using Size = std::pair<unsigned, unsigned>;
    EXPECT_EQ(SizeOf(MakeThumbnail(Pattern(120, 120), 120, 120)), Size(120, 120));
    EXPECT_EQ(SizeOf(MakeThumbnail(Pattern(100, 50), 120, 120)), Size(100, 50));
    EXPECT_EQ(SizeOf(MakeThumbnail(Pattern(240, 120), 120, 120)), Size(120, 60));
    EXPECT_EQ(SizeOf(MakeThumbnail(Pattern(90, 200), 120, 120)), Size(54, 120));
    EXPECT_EQ(SizeOf(MakeThumbnail(Pattern(300, 250), 200, 100)), Size(200, 166));
    EXPECT_EQ(SizeOf(MakeThumbnail(Pattern(1000, 3), 120, 120)), Size(120, 1));
}

TEST(MakeThumbnail, AnUnscaledThumbnailIsACopyOfThePixels)
{
    const auto picture = Pattern(100, 50, true);
    const PictureHandle thumbnail = MakeThumbnail(picture, 120, 120);
    ASSERT_TRUE(thumbnail);
    EXPECT_NE(thumbnail, picture);
    EXPECT_EQ(Pixels(*thumbnail), Pixels(*picture));
}

TEST(MakeThumbnail, NothingForAPictureWithoutPixels)
{
    EXPECT_FALSE(MakeThumbnail(nullptr, 120, 120));
    EXPECT_FALSE(MakeThumbnail(LoadPictureFile(L"/nonexistent/photo.jpg"), 120, 120));
    EXPECT_FALSE(ClonePicture(nullptr));
}

TEST(ClonePicture, CopiesAFileIntoMemory)
{
    const PictureHandle picture = LoadPictureFile(Sample("rgb.png"));
    const PictureHandle copy = ClonePicture(picture);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetRawFormat(), ImageFormat::MemoryBmp);
    EXPECT_EQ(Pixels(*copy), Pixels(*picture));
}

std::vector<std::uint8_t> Bytes(const EncodedPicture& encoded)
{
    return {encoded.bytes.get(), encoded.bytes.get() + encoded.length};
}

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> signature)
{
    return bytes.size() >= signature.size() && std::equal(signature.begin(), signature.end(), bytes.begin());
}

// Quality 100 is the one setting where every quantisation table entry is 1.
bool IsQuality100Jpeg(const std::vector<std::uint8_t>& jpeg)
{
    int tables = 0;
    for (std::size_t i = 2; i + 4 < jpeg.size() && !(jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA); ++i) {
        if (jpeg[i] != 0xFF || jpeg[i + 1] != 0xDB)
            continue;
        const std::size_t end = i + 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
        for (std::size_t at = i + 4; at + 65 <= end; at += 65, ++tables) {
            if (!std::all_of(&jpeg[at + 1], &jpeg[at + 65], [](std::uint8_t q) { return q == 1; }))
                return false;
        }
    }
    return tables > 0;
}

TEST(EncodePicture, ChoosesTheEncoderByNameIgnoringCase)
{
    const auto picture = Pattern(32, 24);
    EXPECT_TRUE(StartsWith(Bytes(EncodePicture(picture, L"PNG")), {0x89, 'P', 'N', 'G'}));
    EXPECT_TRUE(StartsWith(Bytes(EncodePicture(picture, L"png")), {0x89, 'P', 'N', 'G'}));
    EXPECT_TRUE(StartsWith(Bytes(EncodePicture(picture, L"Gif")), {'G', 'I', 'F'}));
    EXPECT_TRUE(StartsWith(Bytes(EncodePicture(picture, L"bmp")), {'B', 'M'}));
    EXPECT_TRUE(StartsWith(Bytes(EncodePicture(picture, L"TIFF")), {'I', 'I', '*', 0}));
    for (const wchar_t* name : {L"jpg", L"jpeg", L"tif", L"", L"webp"}) {
        const std::vector<std::uint8_t> jpeg = Bytes(EncodePicture(picture, name));
        EXPECT_TRUE(StartsWith(jpeg, {0xFF, 0xD8, 0xFF}));
        EXPECT_TRUE(IsQuality100Jpeg(jpeg));
    }
}

TEST(EncodePicture, APictureThatCannotBeReadGivesNoBytes)
{
    const PictureHandle missing = LoadPictureFile(L"/nonexistent/photo.jpg");
    const EncodedPicture encoded = EncodePicture(missing, L"png");
    EXPECT_EQ(encoded.length, 0u);
    EXPECT_FALSE(encoded.bytes);
    EXPECT_EQ(missing->GetLastStatus(), Status::FileNotFound);
    EXPECT_EQ(EncodePicture(nullptr, L"jpg").length, 0u);
}

TEST(EncodePicture, UploadThreadsEncodeAtTheSameTime)
{
    const PictureHandle picture = LoadPictureFile(Sample("baseline.jpg"));
    const std::vector<std::uint8_t> expected = Bytes(EncodePicture(picture, L"png"));
    std::vector<std::thread> threads;
    std::atomic<int> different{0};
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i) {
                if (Bytes(EncodePicture(picture, L"png")) != expected)
                    ++different;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(different, 0);
}

} // namespace
