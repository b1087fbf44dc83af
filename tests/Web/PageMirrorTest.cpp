// What the page is sent of a window: whatever changes on the surface, the page's
// canvas rebuilt from the copies and pictures equals the surface; unchanged pixels are
// not sent again, and scrolled rows travel as a copy.

#include "Platform/Web/PageMirror.h"
#include "Platform/Win/Surface.h"

#include <gtest/gtest.h>

#include <random>

using namespace Platform;
using namespace Platform::Web;

namespace {

std::uint32_t Pattern(int x, int y, std::uint32_t seed = 0)
{
    return 0xFF000000u |
           ((static_cast<std::uint32_t>(y) * 2654435761u ^ static_cast<std::uint32_t>(x) * 40503u ^ seed) & 0xFFFFFFu);
}

void FillPattern(Surface& surface, const RECT& area, std::uint32_t seed)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            surface.SetPixel(x, y, Pattern(x, y, seed));
}

// Moves the rows of area by dy (negative: up) as a scrolled list does, and fills the
// uncovered rows with new content.
void Scroll(Surface& surface, const RECT& area, int dy, std::uint32_t seed)
{
    std::vector<std::uint32_t> before;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            before.push_back(surface.Pixel(x, y));
    const int columns = area.right - area.left;
    for (int y = area.top; y < area.bottom; ++y) {
        const int from = y - dy;
        for (int x = area.left; x < area.right; ++x)
            surface.SetPixel(x, y,
                             from >= area.top && from < area.bottom
                                 ? before[static_cast<std::size_t>(from - area.top) * columns + (x - area.left)]
                                 : Pattern(x, y, seed));
    }
}

// The page's canvas: applies what it is sent.
struct Page {
    int width, height;
    std::vector<std::uint32_t> pixels;

    Page(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0) {}

    void Apply(const PageUpdate& update, const Surface& surface)
    {
        const PageCopy& copy = update.copy;
        if (copy.w > 0 && copy.h > 0) {
            const std::vector<std::uint32_t> before = pixels;
            for (int y = copy.y; y < copy.y + copy.h; ++y)
                for (int x = copy.x; x < copy.x + copy.w; ++x)
                    pixels[static_cast<std::size_t>(y + copy.dy) * width + x] =
                        before[static_cast<std::size_t>(y) * width + x];
        }
        for (const RECT& part : update.parts)
            for (int y = part.top; y < part.bottom; ++y)
                for (int x = part.left; x < part.right; ++x)
                    pixels[static_cast<std::size_t>(y) * width + x] = surface.Pixel(x, y);
    }

    bool Shows(const Surface& surface) const
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[static_cast<std::size_t>(y) * width + x] != surface.Pixel(x, y))
                    return false;
        return true;
    }
};

std::vector<int> Box(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

TEST(PageMirrorTest, SendsOnlyWhatChanged)
{
    Surface surface(120, 90);
    FillPattern(surface, RECT{0, 0, 120, 90}, 1);
    PageMirror mirror;
    const RECT whole{0, 0, 120, 90};
    PageUpdate update = mirror.Update(surface, whole);
    ASSERT_EQ(update.parts.size(), 1u);
    EXPECT_EQ(Box(update.parts[0]), Box(whole));

    EXPECT_TRUE(mirror.Update(surface, whole).Empty());
    surface.SetPixel(37, 50, 0xFF123456u);
    surface.SetPixel(40, 52, 0xFF654321u);
    update = mirror.Update(surface, whole);
    EXPECT_EQ(update.copy.h, 0);
    ASSERT_EQ(update.parts.size(), 1u);
    EXPECT_EQ(Box(update.parts[0]), std::vector<int>({37, 50, 41, 53}));
    // Changes far apart go out as pictures of their own.
    surface.SetPixel(5, 2, 0xFF000001u);
    surface.SetPixel(100, 80, 0xFF000002u);
    update = mirror.Update(surface, whole);
    ASSERT_EQ(update.parts.size(), 2u);
    EXPECT_EQ(Box(update.parts[0]), std::vector<int>({5, 2, 6, 3}));
    EXPECT_EQ(Box(update.parts[1]), std::vector<int>({100, 80, 101, 81}));

    // After Forget (a cleared canvas) and for a surface of another size, all is sent.
    mirror.Forget();
    update = mirror.Update(surface, RECT{10, 10, 20, 20});
    ASSERT_EQ(update.parts.size(), 1u);
    EXPECT_EQ(Box(update.parts[0]), std::vector<int>({10, 10, 20, 20}));
    Surface larger(150, 90);
    update = mirror.Update(larger, RECT{0, 0, 150, 90});
    ASSERT_EQ(update.parts.size(), 1u);
    EXPECT_EQ(Box(update.parts[0]), std::vector<int>({0, 0, 150, 90}));
}

TEST(PageMirrorTest, ScrolledRowsGoOutAsACopyAndTheUncoveredRowsAsAPicture)
{
    Surface surface(200, 160);
    FillPattern(surface, RECT{0, 0, 200, 160}, 2);
    PageMirror mirror;
    Page page(200, 160);
    page.Apply(mirror.Update(surface, RECT{0, 0, 200, 160}), surface);

    // The list's rows move up by 30; below it (a status line) nothing changes.
    const RECT list{0, 0, 200, 150};
    Scroll(surface, list, -30, 3);
    PageUpdate update = mirror.Update(surface, list);
    EXPECT_EQ(std::vector<int>({update.copy.x, update.copy.y, update.copy.w, update.copy.h, update.copy.dy}),
              std::vector<int>({0, 30, 200, 120, -30}));
    ASSERT_EQ(update.parts.size(), 1u);
    EXPECT_EQ(Box(update.parts[0]), std::vector<int>({0, 120, 200, 150}));
    page.Apply(update, surface);
    EXPECT_TRUE(page.Shows(surface));

    Scroll(surface, list, 45, 4);
    update = mirror.Update(surface, RECT{0, 0, 200, 160});
    EXPECT_EQ(update.copy.dy, 45);
    page.Apply(update, surface);
    EXPECT_TRUE(page.Shows(surface));
}

TEST(PageMirrorTest, ThePageShowsTheSurfaceAfterAnyChanges)
{
    std::mt19937 random(7);
    auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    Surface surface(160, 140);
    FillPattern(surface, RECT{0, 0, 160, 140}, 5);
    PageMirror mirror;
    Page page(160, 140);
    page.Apply(mirror.Update(surface, RECT{0, 0, 160, 140}), surface);
    int copies = 0;
    for (int round = 0; round < 300; ++round) {
        const int left = between(0, 150), top = between(0, 130);
        const RECT area{left, top, between(left + 1, 160), between(top + 1, 140)};
        if (round % 3 == 0) {
            const int rows = area.bottom - area.top;
            Scroll(surface, area, between(-rows, rows), static_cast<std::uint32_t>(round));
        } else {
            const std::uint32_t colour = 0xFF000000u | static_cast<std::uint32_t>(between(0, 0xFFFFFF));
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    surface.SetPixel(x, y, colour);
        }
        // Sometimes more than the changed area is said to be dirty, as a whole-window paint does.
        const PageUpdate update = mirror.Update(surface, round % 4 == 0 ? RECT{0, 0, 160, 140} : area);
        copies += update.copy.h > 0;
        EXPECT_LE(update.parts.size(), PageMirror::kMaxParts);
        page.Apply(update, surface);
        ASSERT_TRUE(page.Shows(surface)) << "round " << round;
    }
    EXPECT_GT(copies, 5);
}
