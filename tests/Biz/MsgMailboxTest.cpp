#include "Biz/MsgMailbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

TEST(MsgMailboxDeathTest, TheFirstIdOfTheProcessIsZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto first = MsgMailbox::Instance().Put(nullptr, nullptr);
            auto second = MsgMailbox::Instance().Put(nullptr, nullptr);
            std::exit(first->id == 0 && second->id == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(MsgMailbox, TakeReturnsEachRecordOnceAndNothingForUnknownIds)
{
    MsgMailbox& mailbox = MsgMailbox::Instance();
    auto file = std::shared_ptr<ImageData>();
    auto record = mailbox.Put(nullptr, file);
    auto taken = mailbox.Take(record->id);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken.get(), record.get());
    EXPECT_EQ(mailbox.Take(record->id), nullptr);
    EXPECT_EQ(mailbox.Take(-5), nullptr);
}

TEST(MsgMailbox, IdsAreUniqueAcrossThreadsAndKeepCountingAfterAClear)
{
    MsgMailbox& mailbox = MsgMailbox::Instance();
    std::mutex lock;
    std::vector<int> ids;
    std::vector<std::thread> producers;
    for (int t = 0; t < 4; ++t)
        producers.emplace_back([&] {
            for (int i = 0; i < 250; ++i) {
                const int id = mailbox.Put(nullptr, nullptr)->id;
                std::lock_guard guard(lock);
                ids.push_back(id);
            }
        });
    for (auto& producer : producers)
        producer.join();
    std::set<int> unique(ids.begin(), ids.end());
    EXPECT_EQ(unique.size(), 1000u);
    EXPECT_EQ(*unique.rbegin() - *unique.begin(), 999);

    mailbox.Clear();
    EXPECT_EQ(mailbox.Count(), 0u);
    EXPECT_EQ(mailbox.Take(*unique.begin()), nullptr);
    EXPECT_EQ(mailbox.Put(nullptr, nullptr)->id, *unique.rbegin() + 1);
}
