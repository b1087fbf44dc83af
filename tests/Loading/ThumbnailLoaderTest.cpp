// The list's loader: every record not loaded is read on the workers and announced to
// the window by tile id, then the end once; a stop forgets the work not begun; records
// the user changed keep their pictures; windows and tiles that are gone cost nothing.

#include "Win/WinTestSupport.h"

#include "Biz/ImageData.h"
#include "Gdiplus/TestPictures.h"
#include "Views/ThumbnailLoader.h"

#include <chrono>
#include <future>
#include <set>

namespace {

using namespace WinTest;
using TestPictures::TempFolder;

constexpr UINT Ready = WM_USER + 1;
constexpr UINT Done = WM_USER + 2;

class ThumbnailLoaderTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window = TopLevel(0, 0, 100, 100);
    }

    std::vector<ThumbnailLoader::Job> Photos(int count)
    {
        std::vector<ThumbnailLoader::Job> jobs;
        for (int i = 0; i < count; ++i) {
            const auto bytes = TestPictures::Encode(*TestPictures::Pattern(200 + i, 100), TestPictures::Png);
            jobs.push_back(
                {100 + i, std::make_shared<ImageData>(folder.File("p" + std::to_string(i) + ".png", bytes))});
        }
        return jobs;
    }

    // Dispatches what arrives until the end is announced; a hang guard, not a timing.
    bool PumpUntilDone()
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (Recorder::Instance().Of(Done).empty()) {
            if (std::chrono::steady_clock::now() > giveUp)
                return false;
            WaitMessageTimeout(100);
            PumpPending();
        }
        PumpPending();
        return true;
    }

    std::multiset<WPARAM> ReadyIds() const
    {
        std::multiset<WPARAM> ids;
        for (const Received& r : Recorder::Instance().Of(Ready))
            ids.insert(r.wParam);
        return ids;
    }

    TempFolder folder;
    HWND window = nullptr;
};

TEST_F(ThumbnailLoaderTest, EveryRecordNotLoadedIsReadAndAnnouncedThenTheEndOnce)
{
    std::vector<ThumbnailLoader::Job> jobs = Photos(9);
    const PictureHandle edited = TestPictures::Pattern(5, 5);
    jobs[4].record->ReplacePicture(edited, edited);
    {
        ThumbnailLoader loader(window, Ready, Done, 3);
        loader.Start(jobs);
        ASSERT_TRUE(PumpUntilDone());
    }
    std::multiset<WPARAM> expected;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_TRUE(jobs[i].record->IsLoaded()) << i;
        ASSERT_TRUE(jobs[i].record->Thumbnail()) << i;
        if (i != 4) {
            EXPECT_EQ(jobs[i].record->Picture()->GetWidth(), 200 + i);
            expected.insert(static_cast<WPARAM>(jobs[i].tileId));
        }
    }
    // The user's picture stays and its tile is not read at all.
    EXPECT_EQ(jobs[4].record->Picture(), edited);
    EXPECT_EQ(ReadyIds(), expected);
    const std::vector<UINT> order = Recorder::Instance().MessagesOf(window, {Ready, Done});
    EXPECT_EQ(order.back(), Done);
    EXPECT_EQ(Recorder::Instance().Of(Done).size(), 1u);
}

TEST_F(ThumbnailLoaderTest, StartingAgainReadsNothingTwice)
{
    const std::vector<ThumbnailLoader::Job> jobs = Photos(4);
    std::atomic<int> reads{0};
    ThumbnailLoader loader(window, Ready, Done, 2, [&](ImageData& record) {
        ++reads;
        record.Load();
    });
    loader.Start(jobs);
    ASSERT_TRUE(PumpUntilDone());
    EXPECT_EQ(reads, 4);

    Recorder::Instance().log.clear();
    loader.Start(jobs);
    ASSERT_TRUE(PumpUntilDone());
    EXPECT_EQ(reads, 4);
    EXPECT_TRUE(Recorder::Instance().Of(Ready).empty());
}

TEST_F(ThumbnailLoaderTest, AStopForgetsTheWorkNotBegunAndAnnouncesNoEnd)
{
    const std::vector<ThumbnailLoader::Job> jobs = Photos(6);
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> first{true};
    {
        ThumbnailLoader loader(window, Ready, Done, 1, [&](ImageData& record) {
            if (first.exchange(false)) {
                entered.set_value();
                released.wait();
            }
            record.Load();
        });
        loader.Start(jobs);
        entered.get_future().wait();
        loader.Stop();
        release.set_value();
    }
    PumpPending();
    EXPECT_TRUE(jobs[0].record->IsLoaded());
    for (std::size_t i = 1; i < jobs.size(); ++i)
        EXPECT_FALSE(jobs[i].record->IsLoaded()) << i;
    EXPECT_EQ(ReadyIds(), std::multiset<WPARAM>{static_cast<WPARAM>(jobs[0].tileId)});
    EXPECT_TRUE(Recorder::Instance().Of(Done).empty());
}

TEST_F(ThumbnailLoaderTest, TilesAndWindowsThatAreGoneCostNothing)
{
    std::vector<ThumbnailLoader::Job> jobs = Photos(5);
    const std::weak_ptr<ImageData> watched = jobs[2].record;
    const std::shared_ptr<ImageData> kept = jobs[3].record;
    std::promise<void> release, allRead;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> reads{0};
    {
        ThumbnailLoader loader(window, Ready, Done, 2, [&](ImageData& record) {
            released.wait();
            record.Load();
            if (++reads == 5)
                allRead.set_value();
        });
        loader.Start(std::move(jobs));
        // The list lets go of its tiles and its window while the workers read.
        DestroyWindow(window);
        release.set_value();
        allRead.get_future().wait();
    }
    PumpPending();
    EXPECT_TRUE(watched.expired());
    EXPECT_TRUE(kept->IsLoaded());
    EXPECT_TRUE(Recorder::Instance().Of(Ready).empty());
    EXPECT_TRUE(Recorder::Instance().Of(Done).empty());
}

TEST_F(ThumbnailLoaderTest, NothingToReadAnnouncesTheEndAtOnce)
{
    ThumbnailLoader loader(window, Ready, Done);
    loader.Start({});
    PumpPending();
    EXPECT_EQ(Recorder::Instance().Of(Done).size(), 1u);
}

} // namespace
