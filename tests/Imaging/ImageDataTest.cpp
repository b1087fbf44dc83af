// The upload file record: names from the path, the id, the size, the picture and its
// thumbnail.

#include "Biz/ImageData.h"
#include "Gdiplus/TestPictures.h"

#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>

using namespace TestPictures;

namespace {

TEST(ImageData, NamesComeFromTheLastPathComponent)
{
    TempFolder folder;
    const std::wstring path = folder.File("Photo.JPG", ReadFile(Sample("baseline.jpg")));
    const ImageData photo(path);
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

TEST(ImageData, AReadablePictureGetsItsSizeAndAThumbnail)
{
    TempFolder folder;
    const std::vector<std::uint8_t> bytes = Encode(*Pattern(480, 240), Png);
    const ImageData record(folder.File("wide.png", bytes));
    EXPECT_EQ(record.fileSize, static_cast<std::int32_t>(bytes.size()));
    EXPECT_TRUE(record.svr.isNull());
    EXPECT_EQ(record.uploadSize, 0);
    EXPECT_EQ(record.sentBytes, 0);
    ASSERT_TRUE(record.picture);
    EXPECT_EQ(record.picture->GetWidth(), 480u);
    ASSERT_TRUE(record.thumbnail);
    EXPECT_EQ(record.thumbnail->GetWidth(), 120u);
    EXPECT_EQ(record.thumbnail->GetHeight(), 60u);
}

TEST(ImageData, AFileThatIsNoPictureStillGivesARecord)
{
    TempFolder folder;
    const ImageData text(folder.File("notes.jpg", {'n', 'o', 't', 'e'}));
    EXPECT_EQ(text.fileSize, 4);
    ASSERT_TRUE(text.picture);
    EXPECT_EQ(text.picture->GetWidth(), 0u);
    EXPECT_FALSE(text.thumbnail);

    const ImageData missing(L"/nonexistent/photo.jpg");
    EXPECT_EQ(missing.fileSize, 0);
    EXPECT_EQ(missing.picture->GetHeight(), 0u);
    EXPECT_FALSE(missing.thumbnail);
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
