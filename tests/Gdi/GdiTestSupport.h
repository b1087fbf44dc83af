#pragma once
// A memory DC over a bitmap filled with one colour, for reading drawn pixels back.

#include "Platform/Gdi/Gdi.h"

#include <gtest/gtest.h>

namespace GdiTest {

using namespace Platform;

class Canvas {
public:
    Canvas(int width, int height, COLORREF background = RGB(255, 255, 255))
        : dc(CreateCompatibleDC(nullptr)), bitmap(CreateCompatibleBitmap(dc, width, height))
    {
        previous = SelectObject(dc, bitmap);
        const RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc; }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // Counts pixels in the area that differ from colour.
    int CountOther(const RECT& area, COLORREF color) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += At(x, y) != color;
        return count;
    }

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

struct ScopedBrush {
    explicit ScopedBrush(COLORREF color) : brush(CreateSolidBrush(color)) {}
    ~ScopedBrush() { DeleteObject(brush); }
    HBRUSH brush;
};

} // namespace GdiTest
