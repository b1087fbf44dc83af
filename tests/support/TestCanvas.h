#pragma once
// A memory device context over a bitmap filled with one colour, for drawing tests.

#include "Platform/Gdi/Gdi.h"

namespace TestSupport {

class TestCanvas {
public:
    TestCanvas(int width, int height, Platform::COLORREF fill = 0xFFFFFF)
    {
        using namespace Platform;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        previous = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~TestCanvas()
    {
        Platform::SelectObject(dc, previous);
        Platform::DeleteObject(bitmap);
        Platform::DeleteDC(dc);
    }
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    bool SameAs(const TestCanvas& other, const Platform::RECT& area) const
    {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (Platform::GetPixel(dc, x, y) != Platform::GetPixel(other.dc, x, y))
                    return false;
        return true;
    }

    Platform::HDC dc;
    Platform::HBITMAP bitmap;
    Platform::HGDIOBJ previous;
};

} // namespace TestSupport
