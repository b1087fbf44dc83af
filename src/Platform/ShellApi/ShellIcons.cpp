#include "Platform/ShellApi/ShellIcons.h"

#include "Platform/Gdi/Gdi.h"
#include "Platform/Win/Surface.h"

#include <memory>
#include <mutex>

namespace Platform {
namespace {

constexpr int kSize = 16;

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    FillColor(dc, RECT{left, top, right, bottom}, color);
}

// A framed box: the frame colour around the fill.
void Framed(HDC dc, int left, int top, int right, int bottom, COLORREF frame, COLORREF fill)
{
    Box(dc, left, top, right, bottom, frame);
    Box(dc, left + 1, top + 1, right - 1, bottom - 1, fill);
}

void DrawFile(HDC dc, int x)
{
    Framed(dc, x + 3, 1, x + 13, 15, RGB(128, 128, 128), RGB(255, 255, 255));
    for (int line = 0; line < 4; ++line)
        Box(dc, x + 5, 5 + line * 2, x + 11, 6 + line * 2, RGB(170, 180, 200));
}

void DrawFolder(HDC dc, int x)
{
    Box(dc, x + 1, 3, x + 7, 5, RGB(214, 160, 40));
    Framed(dc, x + 1, 4, x + 15, 14, RGB(214, 160, 40), RGB(250, 204, 86));
    Box(dc, x + 2, 6, x + 14, 7, RGB(255, 226, 140));
}

void DrawDesktop(HDC dc, int x)
{
    Framed(dc, x + 1, 2, x + 15, 12, RGB(40, 70, 120), RGB(58, 130, 210));
    Box(dc, x + 3, 4, x + 6, 6, RGB(250, 204, 86));
    Box(dc, x + 3, 8, x + 6, 10, RGB(255, 255, 255));
    Box(dc, x + 6, 12, x + 10, 14, RGB(90, 90, 90));
    Box(dc, x + 4, 14, x + 12, 15, RGB(90, 90, 90));
}

void DrawComputer(HDC dc, int x)
{
    Framed(dc, x + 1, 1, x + 15, 11, RGB(70, 70, 70), RGB(120, 190, 240));
    Box(dc, x + 3, 3, x + 9, 5, RGB(200, 230, 255));
    Box(dc, x + 6, 11, x + 10, 13, RGB(70, 70, 70));
    Box(dc, x + 3, 13, x + 13, 15, RGB(120, 120, 120));
}

void DrawDrive(HDC dc, int x)
{
    Framed(dc, x + 1, 5, x + 15, 12, RGB(90, 90, 90), RGB(200, 200, 200));
    Box(dc, x + 2, 6, x + 14, 7, RGB(235, 235, 235));
    Box(dc, x + 11, 9, x + 13, 10, RGB(40, 200, 70));
}

HIMAGELIST MakeIcons()
{
    using Painter = void (*)(HDC, int);
    constexpr Painter painters[] = {&DrawFile, &DrawFolder, &DrawDesktop, &DrawComputer, &DrawDrive};
    constexpr int count = sizeof painters / sizeof painters[0];
    auto surface = std::make_shared<Surface>(kSize * count, kSize, 0u);
    HBITMAP strip = CreateBitmapOver(surface);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, strip);
    for (int i = 0; i < count; ++i)
        painters[i](dc, i * kSize);
    SelectObject(dc, previous);
    DeleteDC(dc);
    HIMAGELIST icons = ImageList_Create(kSize, kSize, ILC_COLOR32, count, 0);
    ImageList_Add(icons, strip, nullptr);
    DeleteObject(strip);
    return icons;
}

} // namespace

HIMAGELIST ShellSmallIcons()
{
    static std::once_flag once;
    static HIMAGELIST icons = nullptr;
    std::call_once(once, [] { icons = MakeIcons(); });
    return icons;
}

} // namespace Platform
