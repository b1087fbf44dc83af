#include "Biz/Threading/ManualResetEvent.h"
#include "Biz/WorkerSlots.h"

#include <gtest/gtest.h>

#include <thread>

using Zivoro::Threading::ManualResetEvent;
using namespace std::chrono_literals;

namespace {

TEST(ManualResetEventTest, WaitAnyFindsTheSetEventAndItStaysSet)
{
    std::vector<std::shared_ptr<ManualResetEvent>> events = {std::make_shared<ManualResetEvent>(),
                                                             std::make_shared<ManualResetEvent>()};
    EXPECT_EQ(ManualResetEvent::WaitAny(events, 10ms), -1);
    events[1]->Set();
    EXPECT_EQ(ManualResetEvent::WaitAny(events, 10ms), 1);
    EXPECT_TRUE(events[1]->IsSet());
    events[1]->Reset();
    EXPECT_EQ(ManualResetEvent::WaitAny(events, 10ms), -1);
    EXPECT_EQ(ManualResetEvent::WaitAny({}, 10ms), -1);
}

TEST(ManualResetEventTest, SetOnAnotherThreadWakesTheWaiter)
{
    std::vector<std::shared_ptr<ManualResetEvent>> events;
    for (int i = 0; i < 4; ++i)
        events.push_back(std::make_shared<ManualResetEvent>());
    for (int round = 0; round < 50; ++round) {
        const int which = round % 4;
        std::thread setter([&] { events[static_cast<std::size_t>(which)]->Set(); });
        EXPECT_EQ(ManualResetEvent::WaitAny(events, 10s), which);
        setter.join();
        events[static_cast<std::size_t>(which)]->Reset();
    }
}

TEST(WorkerSlotsTest, OpenedSlotsAreCollectedOneByOne)
{
    WorkerSlots slots;
    EXPECT_EQ(slots.Size(), 5u);
    int freed = 0;
    slots.slotFreed.connect([&] { ++freed; });
    slots.Open(3);
    EXPECT_EQ(slots.FreeCount(), 2u);
    slots.WaitAny();
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(slots.FreeCount(), 3u);
    auto held = slots.TakeSlot();
    ASSERT_TRUE(held);
    EXPECT_FALSE(held->IsSet());
    slots.WaitAny();
    slots.WaitAny();
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(slots.FreeCount(), 4u);

    // The held slot comes back when its job sets it.
    std::thread job([held] { held->Set(); });
    slots.WaitAllReturned();
    job.join();
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(slots.FreeCount(), 5u);
}

TEST(WorkerSlotsTest, PoolGrowsForMoreThreads)
{
    WorkerSlots slots;
    slots.Open(10);
    EXPECT_EQ(slots.Size(), 10u);
    EXPECT_EQ(slots.FreeCount(), 0u);
    slots.WaitAllReturned();
    EXPECT_EQ(slots.FreeCount(), 10u);
    EXPECT_EQ(slots.TakeSlot() != nullptr, true);
}

} // namespace
