#include "GdiTestSupport.h"
#include "PixelReference.h"

#include "Platform/Win/HeadlessBackend.h"
#include "Platform/Win/MessageLoop.h"
#include "Platform/Win/Painting.h"
#include "Platform/Win/Window.h"

#include <string>

using namespace GdiTest;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

struct UiFont {
    UiFont() : font(CreateFontW(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 32, L"新宋体")) {}
    ~UiFont() { DeleteObject(font); }
    HFONT font;
};

// The bounds of the pixels in the area that are not white.
RECT InkBounds(const Canvas& canvas, const RECT& area)
{
    RECT ink{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (canvas.At(x, y) != kWhite)
                ink = RECT{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                           std::max(ink.bottom, y + 1)};
    return ink;
}

TEST(TextTest, ChineseTextAt12PixelsMeasuresAndDrawsWithTheCjkFace)
{
    Canvas canvas(200, 40);
    UiFont ui;
    SelectObject(canvas.Dc(), ui.font);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.Dc(), L"添加图片", 4, &size));
    // Four full-width characters of a 12-pixel face.
    EXPECT_GE(size.cx, 44);
    EXPECT_LE(size.cx, 52);
    EXPECT_GE(size.cy, 12);
    EXPECT_LE(size.cy, 18);
    TEXTMETRICW metrics;
    ASSERT_TRUE(GetTextMetricsW(canvas.Dc(), &metrics));
    EXPECT_EQ(metrics.tmHeight, size.cy);

    SetBkMode(canvas.Dc(), TRANSPARENT);
    RECT rect{0, 0, 200, 40};
    DrawTextW(canvas.Dc(), L"添加图片", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const RECT ink = InkBounds(canvas, RECT{0, 0, 200, 40});
    // Centred: the ink sits around the middle of the rectangle, with strokes in it.
    EXPECT_NEAR((ink.left + ink.right) / 2, 100, 4);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 20, 4);
    EXPECT_GT(canvas.CountOther(ink, kWhite), 60);
}

TEST(TextTest, EndEllipsisKeepsLongTextInsideItsRectangle)
{
    Canvas canvas(200, 20);
    UiFont ui;
    SelectObject(canvas.Dc(), ui.font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    RECT rect{10, 0, 60, 20};
    DrawTextW(canvas.Dc(), L"一个很长很长很长的文件名称.jpg", -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    EXPECT_EQ(canvas.CountOther(RECT{60, 0, 200, 20}, kWhite), 0);
    EXPECT_EQ(canvas.CountOther(RECT{0, 0, 10, 20}, kWhite), 0);
    EXPECT_GT(canvas.CountOther(RECT{45, 0, 60, 20}, kWhite), 0);
}

TEST(TextTest, OpaqueExtTextOutOfNoTextFillsTheRectangleWithTheBackgroundColour)
{
    Canvas canvas(10, 10);
    SetBkColor(canvas.Dc(), RGB(0xC6, 0xD4, 0xE4));
    const RECT rect{1, 1, 4, 4};
    ExtTextOutW(canvas.Dc(), 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    EXPECT_EQ(canvas.At(1, 1), RGB(0xC6, 0xD4, 0xE4));
    EXPECT_EQ(canvas.At(3, 3), RGB(0xC6, 0xD4, 0xE4));
    EXPECT_EQ(canvas.At(4, 4), kWhite);
}

TEST(TextTest, CalcRectMeasuresWithoutDrawing)
{
    Canvas canvas(100, 30);
    UiFont ui;
    SelectObject(canvas.Dc(), ui.font);
    RECT rect{5, 5, 100, 30};
    const int height = DrawTextW(canvas.Dc(), L"提示消息", -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(rect.bottom - rect.top, height);
    EXPECT_GT(rect.right - rect.left, 40);
    EXPECT_EQ(canvas.CountOther(RECT{0, 0, 100, 30}, kWhite), 0);
}

LRESULT ScreenshotProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    ScopedBrush white(RGB(255, 255, 255)), band(RGB(0xF3, 0xF3, 0xF3)), border(RGB(0xD8, 0xD8, 0xD8));
    FillRect(dc, &client, white.brush);
    const RECT bottom{0, client.bottom - 37, client.right, client.bottom};
    FillRect(dc, &bottom, band.brush);
    FrameRect(dc, &client, border.brush);
    TRIVERTEX vertices[2] = {{1, 1, 0xFA00, 0xFA00, 0xFA00, 0}, {client.right - 1, 34, 0xD800, 0xD800, 0xD800, 0}};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
    UiFont ui;
    HGDIOBJ old = SelectObject(dc, ui.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x4E, 0x4E, 0x4E));
    RECT title{26, 7, 300, 27};
    DrawTextW(dc, L"提示消息", -1, &title, DT_SINGLELINE | DT_VCENTER);
    SetTextColor(dc, RGB(0x33, 0x33, 0x33));
    RECT notice{20, 60, client.right - 20, 90};
    DrawTextW(dc, L"上传列表为空，请选择文件", -1, &notice, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xE6, 0xB0, 0x8D));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    ScopedBrush fill(RGB(0xFF, 0xFB, 0xEC));
    HGDIOBJ oldBrush = SelectObject(dc, fill.brush);
    Rectangle(dc, 257, 141, 308, 165);
    RECT ok{257, 141, 308, 165};
    DrawTextW(dc, L"确定", -1, &ok, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, old);
    DeleteObject(pen);
    EndPaint(window, &paint);
    return 0;
}

TEST(TextTest, AHeadlessScreenshotShowsTheDrawnWindow)
{
    WNDCLASSW windowClass;
    windowClass.lpfnWndProc = &ScreenshotProc;
    windowClass.lpszClassName = L"GdiScreenshotTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"GdiScreenshotTest", L"", WS_POPUP | WS_VISIBLE, 100, 100, 384, 174, nullptr,
                                  nullptr, nullptr, nullptr);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    const std::string path = PixelReference::OutputPath("Gdi/screenshot.png");
    auto& headless = dynamic_cast<HeadlessBackend&>(CurrentBackend());
    ASSERT_TRUE(headless.Screenshot(window, path));
    const auto compared = PixelReference::CompareWithReference("Gdi/screenshot.png");
    EXPECT_TRUE(compared.matches) << compared.message;
    EXPECT_TRUE(headless.ScreenshotAll(PixelReference::OutputPath("Gdi/screen.png")));
    DestroyWindow(window);
    EXPECT_FALSE(headless.Screenshot(window, path));
}

} // namespace
