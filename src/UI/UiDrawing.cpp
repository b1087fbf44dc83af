#include "UI/UiDrawing.h"

#include "Platform/Gdi/DeviceContext.h"
#include "Platform/Gdi/Drawing.h"
#include "Platform/Gdi/GdiObjects.h"
#include "Platform/Gdi/ScopedDcState.h"
#include "Platform/Gdi/Text.h"
#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/Graphics.h"

#include <cmath>

using namespace Platform;
using namespace Platform::Gdiplus;

namespace {

// A GDI object for one drawing call: selected into the DC while it lives, then
// deselected and deleted.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc(dc), object(object), previous(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        SelectObject(dc, previous);
        DeleteObject(object);
    }

private:
    HDC dc;
    HGDIOBJ object;
    HGDIOBJ previous;
};

Gdiplus::Color Opaque(COLORREF color)
{
    return Gdiplus::Color(static_cast<std::uint8_t>(GetRValue(color)), static_cast<std::uint8_t>(GetGValue(color)),
                          static_cast<std::uint8_t>(GetBValue(color)));
}

COLOR16 Channel(int value)
{
    return static_cast<COLOR16>(value << 8);
}

} // namespace

void PaintText(HDC dc, const RECT& rect, const std::wstring& text, COLORREF color, HFONT font, UINT format)
{
    ScopedDcState saved(dc);
    SelectObject(dc, font);
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    RECT area = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
}

void PaintLine(HDC dc, COLORREF color, int x1, int y1, int x2, int y2)
{
    SelectedObject pen(dc, CreatePen(PS_SOLID, 1, color));
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void PaintBox(HDC dc, COLORREF fill, COLORREF border, const RECT& rect)
{
    SelectedObject brush(dc, CreateSolidBrush(fill));
    SelectedObject pen(dc, CreatePen(PS_SOLID, 1, border));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void PaintBox(HDC dc, const RECT& rect, COLORREF border, COLORREF fill)
{
    PaintBox(dc, fill, border, rect);
}

void PaintFill(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void PaintFrame(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

void PaintBorder(HDC dc, const RECT& rect, int width, COLORREF color)
{
    PaintFrame(dc, rect, color);
    const int inset = width - 1;
    PaintFrame(dc, RECT{rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset}, color);
}

void PaintGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom)
{
    TRIVERTEX vertices[2];
    vertices[0] =
        TRIVERTEX{rect.left, rect.top, Channel(GetRValue(top)), Channel(GetGValue(top)), Channel(GetBValue(top)), 0};
    vertices[1] = TRIVERTEX{
        rect.right, rect.bottom, Channel(GetRValue(bottom)), Channel(GetGValue(bottom)), Channel(GetBValue(bottom)), 0};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

SIZE MeasureText(HDC dc, const std::wstring& text, int length, HFONT font)
{
    ScopedDcState saved(dc);
    if (font)
        SelectObject(dc, font);
    SIZE size;
    GetTextExtentPoint32W(dc, text.c_str(), length, &size);
    return size;
}

void DrawPictureCentered(Graphics& graphics, const Bitmap* picture, const RECT& rect, double density)
{
    if (!picture || !(density > 0))
        return;
    const int width = static_cast<int>(std::lround(picture->GetWidth() / density));
    const int height = static_cast<int>(std::lround(picture->GetHeight() / density));
    graphics.DrawImage(picture, (rect.left + rect.right) / 2 - width / 2, (rect.top + rect.bottom) / 2 - height / 2,
                       width, height);
}

void DrawPictureStretched(Graphics& graphics, const Bitmap* picture, const RECT& rect)
{
    if (picture)
        graphics.DrawImage(picture, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void DrawCaption(Graphics& graphics, const std::wstring& text, const RECT& rect, COLORREF color,
                 TextAlignment alignment)
{
    const Gdiplus::Font font(L"新宋体", 12, FontStyleRegular, UnitPixel);
    const SolidBrush brush(Opaque(color));
    StringFormat format;
    format.SetAlignment(alignment == TextAlignment::Near     ? StringAlignmentNear
                        : alignment == TextAlignment::Centre ? StringAlignmentCenter
                                                             : StringAlignmentFar);
    format.SetLineAlignment(StringAlignmentCenter);
    format.SetTrimming(StringTrimmingEllipsisCharacter);
    const RectF layout{static_cast<float>(rect.left), static_cast<float>(rect.top),
                       static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top)};
    graphics.DrawString(text.c_str(), -1, &font, layout, &format, &brush);
}

void DrawOutline(Graphics& graphics, int x, int y, int width, int height, COLORREF color, float penWidth)
{
    const Pen pen(Opaque(color), penWidth);
    graphics.DrawRectangle(&pen, x, y, width - 1, height - 1);
}

void DrawOutline(Graphics& graphics, const RECT& rect, COLORREF color, float penWidth)
{
    DrawOutline(graphics, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, color, penWidth);
}
