// Drawing on surfaces with a device scale: logical coordinates in, device pixels out.

#include "Platform/Gdi/DeviceBits.h"
#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <vector>

using namespace Platform;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A memory DC over a white surface of logical size at a scale, read in device pixels.
class ScaledCanvas {
public:
    ScaledCanvas(int width, int height, double scale)
        : surface(std::make_shared<Surface>(width, height, kWhite, scale)), bitmap(CreateBitmapOver(surface)),
          dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap))
    {
    }
    ~ScaledCanvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    ScaledCanvas(const ScaledCanvas&) = delete;
    ScaledCanvas& operator=(const ScaledCanvas&) = delete;

    HDC Dc() const { return dc; }
    std::uint32_t Device(int x, int y) const { return surface->Pixel(x, y) | 0xFF000000u; }
    const Surface& Pixels() const { return *surface; }

private:
    std::shared_ptr<Surface> surface;
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ previous;
};

void Fill(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// The device pixels' colours along one row.
std::vector<std::uint32_t> Row(const ScaledCanvas& canvas, int y)
{
    std::vector<std::uint32_t> row;
    for (int x = 0; x < canvas.Pixels().Width(); ++x)
        row.push_back(canvas.Device(x, y));
    return row;
}

} // namespace

TEST(DeviceScaleTest, SurfacesHoldTheRoundedUpDeviceSizeAndUnusableScalesFallBack)
{
    const Surface half(101, 7, kWhite, 1.5);
    EXPECT_EQ(half.Width(), 152);
    EXPECT_EQ(half.Height(), 11);
    EXPECT_EQ(half.LogicalWidth(), 101);
    const Surface bad(10, 10, kWhite, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(bad.Scale(), 1.0);
    EXPECT_EQ(bad.Width(), 10);
    const Surface huge(10, 10, kWhite, 1000.0);
    EXPECT_EQ(huge.Scale(), Surface::kMaximumScale);
}

TEST(DeviceScaleTest, NeighbouringFillsAndOnePixelFramesSnapToDevicePixelsWithoutGapsOrOverlaps)
{
    for (const double scale : {2.0, 1.5, 1.25}) {
        SCOPED_TRACE(scale);
        ScaledCanvas canvas(20, 10, scale);
        for (int x = 0; x < 20; ++x)
            Fill(canvas.Dc(), RECT{x, 0, x + 1, 5}, x % 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
        // Every device pixel of the row belongs to exactly one logical column, and each
        // column is one or two device pixels wide, never a blend.
        const std::vector<std::uint32_t> row = Row(canvas, 0);
        int run = 1;
        for (std::size_t x = 1; x < row.size(); ++x) {
            ASSERT_TRUE(row[x] == 0xFFFF0000u || row[x] == 0xFF0000FFu) << x;
            run = row[x] == row[x - 1] ? run + 1 : 1;
            EXPECT_LE(run, static_cast<int>(std::ceil(scale)));
        }
        // A frame's sides are as wide as one logical pixel in device pixels.
        HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
        const RECT box{2, 6, 12, 10};
        FrameRect(canvas.Dc(), &box, black);
        DeleteObject(black);
        const Surface& pixels = canvas.Pixels();
        const int left = pixels.DeviceEdge(2), inner = pixels.DeviceEdge(3);
        const int y = pixels.DeviceEdge(8);
        EXPECT_EQ(canvas.Device(left - 1, y), kWhite);
        for (int x = left; x < inner; ++x)
            EXPECT_EQ(canvas.Device(x, y), 0xFF000000u) << x;
        EXPECT_EQ(canvas.Device(inner, y), kWhite);
    }
}

TEST(DeviceScaleTest, CompatibleBitmapsTakeTheScaleAndBitBltCopiesDevicePixelsOneForOne)
{
    ScaledCanvas window(40, 20, 2.0);
    Fill(window.Dc(), RECT{0, 0, 40, 20}, RGB(10, 20, 30));
    SetBkMode(window.Dc(), TRANSPARENT);
    TextOutW(window.Dc(), 2, 2, L"Ag图", 3);
    EXPECT_EQ(GetDeviceScale(window.Dc()), 2.0);

    HDC memory = CreateCompatibleDC(window.Dc());
    HBITMAP copy = CreateCompatibleBitmap(window.Dc(), 40, 20);
    HGDIOBJ previous = SelectObject(memory, copy);
    EXPECT_EQ(GetDeviceScale(memory), 2.0);
    ASSERT_TRUE(BitBlt(memory, 0, 0, 40, 20, window.Dc(), 0, 0, SRCCOPY));
    SelectObject(memory, previous);

    // The bits of the copy are its 80 x 40 device pixels, the same as the window's.
    BITMAPINFO info;
    info.bmiHeader.biWidth = 80;
    info.bmiHeader.biHeight = -40;
    info.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> bits(80 * 40);
    ASSERT_EQ(GetDIBits(memory, copy, 0, 40, bits.data(), &info, DIB_RGB_COLORS), 40);
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            differing += (bits[y * 80 + x] | 0xFF000000u) != window.Device(x, y);
    EXPECT_EQ(differing, 0);
    info.bmiHeader.biWidth = 40;
    EXPECT_EQ(GetDIBits(memory, copy, 0, 20, bits.data(), &info, DIB_RGB_COLORS), 0);
    DeleteObject(copy);
    DeleteDC(memory);
}

TEST(DeviceScaleTest, TextIsDrawnAtDeviceResolutionNotScaledUp)
{
    ScaledCanvas single(60, 24, 1.0), twice(60, 24, 2.0);
    for (const ScaledCanvas* canvas : {&single, &twice}) {
        SetBkMode(canvas->Dc(), TRANSPARENT);
        TextOutW(canvas->Dc(), 1, 1, L"Sharp 字", 7);
    }
    // Ink spans about twice the device pixels, and many 2 x 2 device blocks are not of
    // one colour, which a picture scaled up from logical pixels never has.
    auto inkColumns = [](const ScaledCanvas& canvas) {
        int first = -1, last = -1;
        for (int x = 0; x < canvas.Pixels().Width(); ++x)
            for (int y = 0; y < canvas.Pixels().Height(); ++y)
                if (canvas.Device(x, y) != kWhite) {
                    first = first < 0 ? x : first;
                    last = x;
                }
        return last - first + 1;
    };
    EXPECT_NEAR(inkColumns(twice), 2 * inkColumns(single), 4);
    int mixedBlocks = 0;
    for (int y = 0; y < 48; y += 2)
        for (int x = 0; x < 120; x += 2) {
            const std::uint32_t c = twice.Device(x, y);
            mixedBlocks +=
                c != twice.Device(x + 1, y) || c != twice.Device(x, y + 1) || c != twice.Device(x + 1, y + 1);
        }
    EXPECT_GT(mixedBlocks, 20);
}

TEST(DeviceScaleTest, BitmapsOfDeviceSizeLandOneForOneAndLogicalOnesCoverLogicalPixels)
{
    // Columns alternate black and white, one pixel each.
    std::vector<std::uint8_t> stripes(DibStride(8, 24) * 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; x += 2)
            std::fill_n(stripes.data() + y * DibStride(8, 24) + x * 3, 3, std::uint8_t{0});
    for (int y = 0; y < 2; ++y)
        for (int x = 1; x < 8; x += 2)
            std::fill_n(stripes.data() + y * DibStride(8, 24) + x * 3, 3, std::uint8_t{255});
    BITMAPINFO info;
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biBitCount = 24;

    ScaledCanvas sharp(4, 1, 2.0), plain(8, 2, 2.0);
    ASSERT_GT(StretchDIBits(sharp.Dc(), 0, 0, 4, 1, 0, 0, 8, 2, stripes.data(), &info, DIB_RGB_COLORS, SRCCOPY), 0);
    ASSERT_GT(SetDIBitsToDevice(plain.Dc(), 0, 0, 8, 2, 0, 0, 0, 2, stripes.data(), &info, DIB_RGB_COLORS), 0);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(sharp.Device(x, 0), x % 2 ? kWhite : 0xFF000000u) << x;
        // Each bitmap pixel covers one logical pixel: two device columns.
        EXPECT_EQ(plain.Device(2 * x, 0), plain.Device(2 * x + 1, 0)) << x;
        EXPECT_EQ(plain.Device(2 * x, 3), x % 2 ? kWhite : 0xFF000000u) << x;
    }
    // GetPixel reads the logical pixel's top-left device pixel.
    EXPECT_EQ(GetPixel(sharp.Dc(), 1, 0), RGB(0, 0, 0));
}

TEST(DeviceScaleTest, GradientsStepOncePerDeviceRow)
{
    ScaledCanvas canvas(4, 50, 2.0);
    TRIVERTEX corners[2] = {{0, 0, 0, 0, 0, 0}, {4, 50, 0xFF00, 0xFF00, 0xFF00, 0}};
    GRADIENT_RECT mesh{0, 1};
    ASSERT_TRUE(GradientFill(canvas.Dc(), corners, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
    std::set<std::uint32_t> shades;
    for (int y = 0; y < 100; ++y)
        shades.insert(canvas.Device(0, y));
    EXPECT_GT(shades.size(), 90u);
    EXPECT_EQ(canvas.Device(0, 0), 0xFF000000u);
    EXPECT_EQ(canvas.Device(7, 99), kWhite);
}
