// The list's time sorts on real files: by the file's own time, and by when the photo
// was taken as its Exif block says (the file's time for photos that do not say), both
// keeping ties in list order, and without waiting on the control's thread for files
// that are still being read.

#include "ListViewSupport.h"

#include "Gdiplus/ExifJpeg.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

using namespace ListViewTest;

namespace {

constexpr ListView::SortOrder ByFileTime = ListView::SortOrder::ByFileTime;
constexpr ListView::SortOrder ByShotTime = ListView::SortOrder::ByShotTime;

class ListSort : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        MakeList(600, 400);
        list->LoadingFinished.connect([this] { ++finished; });
    }

    // Files made one after another, a little apart, so that their own times differ.
    std::wstring Make(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        return folder.File(name, bytes);
    }

    void AddFile(const std::wstring& path)
    {
        list->AddItem(std::make_unique<ListViewSelectItem>(std::make_shared<ImageData>(path)));
    }

    // Runs the loop until the loader has read every record (a hang guard, not a timing).
    bool LoadAll()
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (finished == 0 && std::chrono::steady_clock::now() < giveUp) {
            WaitMessageTimeout(100);
            PumpPending();
        }
        return finished > 0;
    }

    TestPictures::TempFolder folder;
    int finished = 0;
};

TEST_F(ListSort, ByCreationTimeFollowsTheFilesOwnTimesNotTheOrderOfAdding)
{
    const std::vector<std::uint8_t> bytes = ExifJpeg::QuadrantJpeg(64, 48);
    const std::wstring first = Make("b.jpg", bytes);
    const std::wstring second = Make("c.jpg", bytes);
    const std::wstring third = Make("a.jpg", bytes);
    // The file made last says it was changed long ago. Where the file system records
    // when a file was made, that time counts; elsewhere the change does.
    const timespec times[2] = {{0, UTIME_OMIT}, {631152000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Platform::WideToPath(third).c_str(), times, 0), 0);
    struct statx info {};
    ASSERT_EQ(statx(AT_FDCWD, Platform::WideToPath(third).c_str(), 0, STATX_BTIME, &info), 0);
    const bool birthTimes = (info.stx_mask & STATX_BTIME) != 0;

    for (const std::wstring& path : {third, second, first})
        AddFile(path);
    AddFile(first); // the same file twice: a tie, kept in list order
    Refresh();
    const ListViewItem* firstCopy = list->Items()[2];
    list->Sort(ByFileTime);
    if (birthTimes)
        EXPECT_EQ(Order(), (std::vector<std::wstring>{L"b.jpg", L"b.jpg", L"c.jpg", L"a.jpg"}));
    else
        EXPECT_EQ(Order(), (std::vector<std::wstring>{L"a.jpg", L"b.jpg", L"b.jpg", L"c.jpg"}));
    EXPECT_EQ(list->Items()[birthTimes ? 0 : 1], firstCopy);
    EXPECT_EQ(list->Items()[1]->GetBounds().left, 158) << "laid out again";
}

TEST_F(ListSort, ByTimeTakenReadsTheExifTimeAndFallsBackOnTheFile)
{
    const std::vector<std::uint8_t> small = ExifJpeg::QuadrantJpeg(64, 48);
    const std::vector<std::uint8_t> photo = ExifJpeg::NoisyJpeg(2400, 1600);
    AddFile(Make("2021.jpg", ExifJpeg::WithApp1(photo, ExifJpeg::ExifPayloadWithDate("2021:03:01 09:00:00"))));
    AddFile(
        Make("2019-a.jpg", ExifJpeg::WithApp1(small, ExifJpeg::ExifPayloadWithDate("2019:08:15 12:00:00", 1, true))));
    // No Exif block: the file's own time (now) stands in.
    AddFile(Make("none.jpg", small));
    AddFile(Make("2019-b.jpg", ExifJpeg::WithApp1(small, ExifJpeg::ExifPayloadWithDate("2019:08:15 12:00:00"))));
    AddFile(Make("later.png", TestPictures::Encode(*TestPictures::Pattern(40, 30), TestPictures::Png)));
    Refresh();
    ASSERT_TRUE(LoadAll());
    list->Sort(ByShotTime);
    EXPECT_EQ(Order(),
              (std::vector<std::wstring>{L"2019-a.jpg", L"2019-b.jpg", L"2021.jpg", L"none.jpg", L"later.png"}));

    // Ties keep the order the list has.
    list->MoveItem(list->Items()[1]->Id(), list->Items()[0]->Id());
    list->Sort(ByShotTime);
    EXPECT_EQ(Order(),
              (std::vector<std::wstring>{L"2019-b.jpg", L"2019-a.jpg", L"2021.jpg", L"none.jpg", L"later.png"}));
}

TEST_F(ListSort, SortingBeforeThePicturesAreReadSortsAgainOnceTheyAre)
{
    const std::vector<std::uint8_t> small = ExifJpeg::QuadrantJpeg(64, 48);
    AddFile(Make("late.jpg", ExifJpeg::WithApp1(small, ExifJpeg::ExifPayloadWithDate("2022:01:01 00:00:00"))));
    AddFile(Make("early.jpg", ExifJpeg::WithApp1(small, ExifJpeg::ExifPayloadWithDate("2010:01:01 00:00:00"))));
    // Sorted at once, on the control's thread, before the loader has read anything:
    // the file times stand in, and the list does not wait for the disk.
    list->Layout();
    ASSERT_FALSE(list->Items()[0]->Data()->IsLoaded());
    list->Sort(ByShotTime);
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"late.jpg", L"early.jpg"}));
    ASSERT_TRUE(LoadAll());
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"early.jpg", L"late.jpg"}));
}

} // namespace
