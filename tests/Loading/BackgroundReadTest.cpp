// Reads that may block run on their own thread: a quick one is handed over within the
// wait, a slow one by a message to the window once it ends, and one nobody waits for
// any more is dropped without a message.

#include "Win/WinTestSupport.h"

#include "Views/BackgroundRead.h"

#include <chrono>
#include <future>

namespace {

using namespace WinTest;
using namespace std::chrono_literals;

constexpr UINT Finished = WM_USER + 7;

class BackgroundReadTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window = TopLevel(0, 0, 100, 100);
    }

    // Pumps until the message came or rounds of 10 ms passed.
    bool WaitForMessage(int rounds = 500)
    {
        for (int i = 0; i < rounds && Log().Of(Finished).empty(); ++i) {
            WaitMessageTimeout(10);
            PumpPending();
        }
        return !Log().Of(Finished).empty();
    }

    HWND window = nullptr;
};

TEST_F(BackgroundReadTest, AQuickReadIsHandedOverWithinTheWait)
{
    BackgroundRead<int> read([](const std::atomic<bool>&) { return 42; }, window, Finished, 3);
    const std::optional<int> result = read.Wait(5s);
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, 42);
    PumpPending();
    EXPECT_TRUE(Log().Of(Finished).empty()) << "nothing is posted for a result taken in time";
}

TEST_F(BackgroundReadTest, ASlowReadArrivesByMessageWithItsTag)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    BackgroundRead<std::string> read(
        [released](const std::atomic<bool>&) {
            released.wait();
            return std::string("late");
        },
        window, Finished, 9);
    EXPECT_FALSE(read.Wait(20ms));
    release.set_value();
    ASSERT_TRUE(WaitForMessage());
    EXPECT_EQ(Log().Of(Finished)[0].wParam, 9u);
    EXPECT_EQ(read.Take(), std::optional<std::string>("late"));
    EXPECT_FALSE(read.Take()) << "taken once";
}

TEST_F(BackgroundReadTest, AnAbandonedReadStopsAndPostsNothing)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<bool> sawStop;
    {
        BackgroundRead<int> read(
            [released, &sawStop](const std::atomic<bool>& stop) {
                released.wait();
                sawStop.set_value(stop.load());
                return 1;
            },
            window, Finished, 1);
        EXPECT_FALSE(read.Wait(10ms));
    }
    release.set_value();
    EXPECT_TRUE(sawStop.get_future().get()) << "the read is told to stop";
    EXPECT_FALSE(WaitForMessage(30));
}

} // namespace
