// The decoded-pixel cache keeps the most recently used pictures within its budget.

#include "Platform/Gdiplus/PixelBuffer.h"
#include "Platform/Gdiplus/PixelCache.h"

#include <gtest/gtest.h>

using namespace Platform::Gdiplus;

namespace {

std::shared_ptr<const PixelBuffer> Pixels(int width)
{
    return PixelBuffer::Create(width, 1); // width x 4 bytes
}

TEST(PixelCache, DropsTheLeastRecentlyUsedToStayWithinBudget)
{
    PixelCache cache(100);
    cache.Insert(1, Pixels(10));
    cache.Insert(2, Pixels(10));
    ASSERT_TRUE(cache.Find(1)); // 1 is now the most recent
    cache.Insert(3, Pixels(10));
    EXPECT_EQ(cache.HeldBytes(), 80u);
    EXPECT_TRUE(cache.Find(1));
    EXPECT_FALSE(cache.Find(2));
    EXPECT_TRUE(cache.Find(3));
}

TEST(PixelCache, KeepsNothingLargerThanTheBudgetAndForgetsErasedEntries)
{
    PixelCache cache(100);
    cache.Insert(1, Pixels(26));
    EXPECT_FALSE(cache.Find(1));
    cache.Insert(2, Pixels(5));
    cache.Insert(2, Pixels(6));
    EXPECT_EQ(cache.HeldBytes(), 24u);
    cache.Erase(2);
    EXPECT_FALSE(cache.Find(2));
    EXPECT_EQ(cache.HeldBytes(), 0u);
}

TEST(PixelCache, PixelsHandedOutSurviveTheirEntry)
{
    PixelCache cache(100);
    cache.Insert(1, Pixels(20));
    const std::shared_ptr<const PixelBuffer> held = cache.Find(1);
    cache.Insert(2, Pixels(20));
    EXPECT_FALSE(cache.Find(1));
    ASSERT_TRUE(held);
    EXPECT_EQ(held->Width(), 20);
}

} // namespace
