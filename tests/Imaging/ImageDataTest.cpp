// The upload file record: names from the path, the id, the size, and the picture and
// thumbnail read later, turned by the user and never read over the user's changes.

#include "Biz/ImageData.h"
#include "Gdiplus/ExifJpeg.h"
#include "Gdiplus/TestPictures.h"
#include "Platform/Gdiplus/PixelCache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

using namespace TestPictures;
using Platform::Gdiplus::Bitmap;

namespace {

TEST(ImageData, NamesComeFromTheLastPathComponent)
{
    TempFolder folder;
    const std::wstring path = folder.File("Photo.JPG", ReadFile(Sample("baseline.jpg")));
    const ImageData photo(path);
    EXPECT_EQ(photo.fileSize, static_cast<std::int64_t>(ReadFile(Sample("baseline.jpg")).size()));
    EXPECT_EQ(photo.path, path);
    EXPECT_EQ(photo.fileName, L"Photo.JPG");
    EXPECT_EQ(photo.remark, L"Photo.JPG");
    EXPECT_EQ(photo.extension, L".JPG");
    EXPECT_EQ(photo.format, L"jpg");

    const ImageData plain(L"/photos/holiday.trip/README");
    EXPECT_EQ(plain.fileName, L"README");
    EXPECT_EQ(plain.extension, L"");
    EXPECT_EQ(plain.format, L"");

    const ImageData twoDots(L"/photos/a.b.png");
    EXPECT_EQ(twoDots.extension, L".png");
    EXPECT_EQ(twoDots.format, L"png");
}

TEST(ImageData, ARecordIsMadeWithoutReadingThePictureWhichLoadReadsOnce)
{
    TempFolder folder;
    const std::vector<std::uint8_t> bytes = Encode(*Pattern(480, 240), Png);
    ImageData record(folder.File("wide.png", bytes));
    EXPECT_EQ(record.fileSize, static_cast<std::int64_t>(bytes.size()));
    EXPECT_TRUE(record.svr.isNull());
    EXPECT_EQ(record.uploadSize, 0);
    EXPECT_EQ(record.sentBytes, 0);
    EXPECT_FALSE(record.IsLoaded());
    EXPECT_FALSE(record.Picture());
    EXPECT_FALSE(record.Thumbnail());

    record.Load();
    EXPECT_TRUE(record.IsLoaded());
    const PictureHandle picture = record.Picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->GetWidth(), 480u);
    ASSERT_TRUE(record.Thumbnail());
    EXPECT_EQ(record.Thumbnail()->GetWidth(), 120u);
    EXPECT_EQ(record.Thumbnail()->GetHeight(), 60u);
    record.Load();
    EXPECT_EQ(record.Picture(), picture);
}

TEST(ImageData, AFileThatIsNoPictureStillGivesARecord)
{
    TempFolder folder;
    ImageData text(folder.File("notes.jpg", {'n', 'o', 't', 'e'}));
    EXPECT_EQ(text.fileSize, 4);
    text.Load();
    ASSERT_TRUE(text.Picture());
    EXPECT_EQ(text.Picture()->GetWidth(), 0u);
    EXPECT_FALSE(text.Thumbnail());
    text.Turn(1, 148, 120);
    EXPECT_EQ(text.Picture()->GetWidth(), 0u);

    ImageData missing(L"/nonexistent/photo.jpg");
    missing.Load();
    EXPECT_EQ(missing.fileSize, 0);
    EXPECT_EQ(missing.Picture()->GetHeight(), 0u);
    EXPECT_FALSE(missing.Thumbnail());
}

TEST(ImageData, FileSizesBeyond4GiBAreKept)
{
    TempFolder folder;
    const std::wstring path = folder.File("huge.jpg", {});
    std::filesystem::resize_file(std::filesystem::path(path), (std::uintmax_t{5} << 30) + 7);
    EXPECT_EQ(ImageData(path).fileSize, (std::int64_t{5} << 30) + 7);
}

using ExifJpeg::Quadrants;
const std::array<ExifJpeg::Colour, 4> AsStored{ExifJpeg::Red, ExifJpeg::Green, ExifJpeg::Blue, ExifJpeg::White};
const std::array<ExifJpeg::Colour, 4> TurnedRight{ExifJpeg::Blue, ExifJpeg::Red, ExifJpeg::White, ExifJpeg::Green};
const std::array<ExifJpeg::Colour, 4> TurnedLeft{ExifJpeg::Green, ExifJpeg::White, ExifJpeg::Red, ExifJpeg::Blue};

TEST(ImageData, TurnsTurnPictureAndThumbnailWithoutHoldingDecodedPixels)
{
    TempFolder folder;
    ImageData record(folder.File("photo.jpg", ExifJpeg::QuadrantJpeg(1600, 1200)));
    record.Load();
    const std::size_t held = Platform::Gdiplus::PixelCache::Instance().HeldBytes();
    record.Turn(1, 148, 120);
    EXPECT_EQ(Platform::Gdiplus::PixelCache::Instance().HeldBytes(), held);
    ASSERT_EQ(record.Picture()->GetWidth(), 1200u);
    EXPECT_EQ(record.Picture()->GetHeight(), 1600u);
    EXPECT_EQ(record.Thumbnail()->GetWidth(), 90u);
    EXPECT_EQ(record.Thumbnail()->GetHeight(), 120u);
    EXPECT_EQ(Quadrants(*record.Thumbnail()), TurnedRight);
    EXPECT_EQ(Quadrants(*record.Picture()), TurnedRight);

    record.Turn(-2, 148, 120);
    EXPECT_EQ(Quadrants(*record.Thumbnail()), TurnedLeft);
    EXPECT_EQ(Quadrants(*record.Picture()), TurnedLeft);
    record.Turn(1, 148, 120);
    EXPECT_EQ(record.Picture()->GetWidth(), 1600u);
    EXPECT_EQ(Quadrants(*record.Picture()), AsStored);
}

TEST(ImageData, TurnedThumbnailsStayInsideTheBoxOnBothSides)
{
    TempFolder folder;
    ImageData record(folder.File("square.png", Encode(*Pattern(300, 300), Png)));
    record.Load();
    // An edited picture's thumbnail may use the box's full width.
    record.ReplacePicture(Pattern(400, 300), MakeFittedThumbnail(Pattern(400, 300), 148, 120));
    ASSERT_EQ(record.Thumbnail()->GetWidth(), 148u);
    EXPECT_EQ(record.Thumbnail()->GetHeight(), 111u);
    record.Turn(1, 148, 120);
    EXPECT_EQ(record.Picture()->GetWidth(), 300u);
    EXPECT_EQ(record.Thumbnail()->GetWidth(), 90u);
    EXPECT_EQ(record.Thumbnail()->GetHeight(), 120u);

    const auto square = MakeFittedThumbnail(Pattern(300, 300), 148, 120);
    EXPECT_EQ(square->GetWidth(), 120u);
    EXPECT_EQ(square->GetHeight(), 120u);
}

TEST(ImageData, TurnsAskedForBeforeTheLoadAreAppliedByIt)
{
    TempFolder folder;
    ImageData record(folder.File("photo.jpg", ExifJpeg::QuadrantJpeg(160, 120)));
    record.Turn(-1, 148, 120);
    EXPECT_FALSE(record.Picture());
    record.Load();
    ASSERT_TRUE(record.Picture());
    EXPECT_EQ(record.Picture()->GetWidth(), 120u);
    EXPECT_EQ(Quadrants(*record.Picture()), TurnedLeft);
    EXPECT_EQ(Quadrants(*record.Thumbnail()), TurnedLeft);
}

TEST(ImageData, ALoadNeverUndoesTheUsersPicture)
{
    TempFolder folder;
    ImageData record(folder.File("photo.png", Encode(*Pattern(64, 48), Png)));
    const PictureHandle edited = Pattern(10, 20);
    record.ReplacePicture(edited, edited);
    record.Load();
    EXPECT_EQ(record.Picture(), edited);
    EXPECT_EQ(record.Thumbnail(), edited);
}

TEST(ImageData, ThreadsLoadingOneRecordAtOnceAgreeOnOnePicture)
{
    TempFolder folder;
    ImageData record(folder.File("photo.png", Encode(*Pattern(200, 100), Png)));
    std::vector<PictureHandle> seen(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            record.Load();
            seen[t] = record.Picture();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const PictureHandle& picture : seen)
        EXPECT_EQ(picture, seen[0]);
    EXPECT_EQ(seen[0]->GetWidth(), 200u);
}

bool IsVersion4Id(const std::string& id)
{
    return id.size() == 32 && id.find_first_not_of("0123456789abcdef") == std::string::npos && id[12] == '4' &&
           std::string("89ab").find(id[16]) != std::string::npos;
}

TEST(ImageData, IdsAreRandomVersion4UuidsThatNeverRepeat)
{
    const ImageData first(L"/photos/same.jpg");
    const ImageData second(L"/photos/same.jpg");
    EXPECT_TRUE(IsVersion4Id(first.id)) << first.id;
    EXPECT_NE(first.id, second.id);

    std::mutex mutex;
    std::set<std::string> ids;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 250; ++i) {
                const auto record = std::make_shared<ImageData>(L"/nonexistent/x.png");
                std::lock_guard lock(mutex);
                ids.insert(record->id);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(ids.size(), 1000u);
}

} // namespace

namespace {

TEST(ImageData, ThumbnailsAreMadeForTheScreensDevicePixelsAndThePictureStaysAsRead)
{
    TempFolder folder;
    ImageData::SetScreenScale(2.0);
    ImageData record(folder.File("photo.jpg", ExifJpeg::QuadrantJpeg(1600, 1200)));
    record.Load();
    ImageData::SetScreenScale(1.0);
    // The 120 x 120 box at ratio 2; the thumbnail keeps the scale it was made at.
    EXPECT_EQ(record.ThumbnailScale(), 2.0);
    EXPECT_EQ(record.Thumbnail()->GetWidth(), 240u);
    EXPECT_EQ(record.Thumbnail()->GetHeight(), 180u);
    EXPECT_EQ(record.Picture()->GetWidth(), 1600u);
    // A turn keeps the thumbnail inside the tile's 148 x 120 box at that scale.
    record.Turn(1, 148, 120);
    EXPECT_EQ(record.Thumbnail()->GetWidth(), 180u);
    EXPECT_EQ(record.Thumbnail()->GetHeight(), 240u);
    EXPECT_EQ(Quadrants(*record.Thumbnail()), TurnedRight);
    EXPECT_EQ(record.Picture()->GetWidth(), 1200u);

    record.ReplacePicture(Pattern(400, 300), MakeFittedThumbnail(Pattern(400, 300), 148, 120));
    EXPECT_EQ(record.ThumbnailScale(), 1.0);
    EXPECT_EQ(record.Thumbnail()->GetWidth(), 148u);
}

} // namespace
