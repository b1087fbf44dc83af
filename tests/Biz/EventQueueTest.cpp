#include "Biz/EventQueue.h"

#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Window.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Platform;

namespace {

// A window that counts wake-ups and drains the queue on each, as the control window does.
struct DrainWindow {
    int wakeUps = 0;
    HWND handle = nullptr;

    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<DrainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == EventQueue::WakeMessage) {
            ++self->wakeUps;
            EventQueue::Instance().Drain();
            return 1;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    DrainWindow()
    {
        static const bool registered = [] {
            WNDCLASSW windowClass;
            windowClass.lpfnWndProc = &Proc;
            windowClass.lpszClassName = L"TestDrainWindow";
            return RegisterClassW(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        handle = CreateWindowExW(0, L"TestDrainWindow", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, this);
    }
    ~DrainWindow() { DestroyWindow(handle); }
};

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

class EventQueueTest : public ::testing::Test {
protected:
    void SetUp() override { EventQueue::Instance().DiscardPending(); }
    void TearDown() override { EventQueue::Instance().DiscardPending(); }
    EventQueue& events = EventQueue::Instance();
};

} // namespace

TEST_F(EventQueueTest, OneDrainHandlesEveryQueuedEventInPostingOrder)
{
    DrainWindow window;
    events.SetTarget(window.handle);
    std::vector<std::pair<std::string, int>> seen;
    events.Connect("post_process", [&](int v) { seen.emplace_back("post_process", v); });
    events.Connect("task_end", [&](int v) { seen.emplace_back("task_end", v); });
    events.Post("post_process", 1);
    events.Post("post_process", 2);
    events.Post("unhandled", 9);
    events.Post("task_end", 0);
    Pump();
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::string, int>>{{"post_process", 1}, {"post_process", 2}, {"task_end", 0}}));
    EXPECT_EQ(window.wakeUps, 4);
    EXPECT_EQ(events.PendingCount(), 0u);
}

TEST_F(EventQueueTest, SeveralHandlersUnderOneNameRunInConnectionOrderUntilCleared)
{
    std::vector<int> calls;
    events.Connect("e", [&](int v) { calls.push_back(v * 10 + 1); });
    events.Connect("e", [&](int v) { calls.push_back(v * 10 + 2); });
    events.Post("e", 3);
    events.Drain();
    EXPECT_EQ(calls, (std::vector<int>{31, 32}));
    events.ClearHandlers();
    events.Post("e", 4);
    events.Drain();
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(EventQueueTest, EventsPostedBeforeAnyTargetWaitForTheNextDrain)
{
    std::vector<int> seen;
    events.Connect("early", [&](int v) { seen.push_back(v); });
    EXPECT_TRUE(events.Post("early", 5));
    EXPECT_EQ(events.PendingCount(), 1u);
    DrainWindow window;
    events.SetTarget(window.handle);
    events.Post("early", 6);
    Pump();
    EXPECT_EQ(seen, (std::vector<int>{5, 6}));
}

TEST_F(EventQueueTest, EventsFromManyThreadsKeepEachThreadsOrder)
{
    DrainWindow window;
    events.SetTarget(window.handle);
    constexpr int kThreads = 4;
    constexpr int kEach = 300;
    std::vector<int> seen;
    events.Connect("n", [&](int v) { seen.push_back(v); });
    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t)
        producers.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                events.Post("n", t * kEach + i);
        });
    for (auto& producer : producers)
        producer.join();
    Pump();
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kEach));
    std::vector<int> last(kThreads, -1);
    for (int v : seen) {
        EXPECT_GT(v, last[v / kEach]);
        last[v / kEach] = v;
    }
}

TEST_F(EventQueueTest, AHandlerMayPostWithoutDeadlocking)
{
    std::vector<int> seen;
    events.Connect("chain", [&](int v) {
        seen.push_back(v);
        if (v < 3)
            events.Post("chain", v + 1);
    });
    events.Post("chain", 1);
    events.Drain();
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

TEST_F(EventQueueTest, DiscardDropsQueuedEventsAndPostsOfTheOldEpoch)
{
    std::vector<int> seen;
    const std::uint64_t epoch = events.Epoch();
    events.Post("x", 1);
    events.DiscardPending();
    EXPECT_EQ(events.PendingCount(), 0u);
    EXPECT_EQ(events.Target(), nullptr);
    events.Connect("x", [&](int v) { seen.push_back(v); });
    EXPECT_FALSE(events.Post("x", 2, epoch));
    EXPECT_TRUE(events.Post("x", 3, events.Epoch()));
    events.Drain();
    EXPECT_EQ(seen, (std::vector<int>{3}));
}
