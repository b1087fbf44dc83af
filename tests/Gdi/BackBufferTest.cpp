#include "GdiTestSupport.h"

#include "Platform/Gdi/BackBuffer.h"

namespace {

using namespace GdiTest;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);

TEST(BackBufferTest, DrawsInTargetCoordinatesAndReachesTheTargetOnlyWhenPresented)
{
    Canvas target(40, 30);
    const RECT all{0, 0, 40, 30};
    ScopedBrush red(kRed);
    {
        BackBuffer buffer(target.Dc(), RECT{10, 5, 30, 25});
        const RECT inside{12, 7, 20, 15};
        FillRect(buffer.Dc(), &inside, red.brush);
        EXPECT_EQ(target.CountOther(all, kWhite), 0);
        buffer.Present();
    }
    EXPECT_EQ(target.At(12, 7), kRed);
    EXPECT_EQ(target.At(19, 14), kRed);
    EXPECT_EQ(target.CountOther(all, kWhite) - target.CountOther(RECT{10, 5, 30, 25}, kWhite), 0);
    int redPixels = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            redPixels += target.At(x, y) == kRed;
    EXPECT_EQ(redPixels, 8 * 8);
}

TEST(BackBufferTest, AKeptBitmapOutlivesTheBufferWithItsDrawing)
{
    Canvas target(20, 20);
    HBITMAP kept = CreateCompatibleBitmap(target.Dc(), 20, 20);
    ScopedBrush red(kRed);
    {
        BackBuffer buffer(target.Dc(), kept, RECT{0, 0, 20, 20});
        const RECT corner{0, 0, 5, 5};
        FillRect(buffer.Dc(), &corner, red.brush);
        buffer.Present();
    }
    EXPECT_EQ(target.At(2, 2), kRed);
    {
        BackBuffer again(target.Dc(), kept, RECT{0, 0, 20, 20});
        EXPECT_EQ(GetPixel(again.Dc(), 4, 4), kRed);
        EXPECT_NE(GetPixel(again.Dc(), 5, 5), kRed);
    }
    EXPECT_TRUE(DeleteObject(kept));
}

} // namespace
