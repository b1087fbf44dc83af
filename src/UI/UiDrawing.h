#pragma once
// The drawing helpers controls and list items use. Each creates and deletes its own
// GDI objects and restores what it selected into the device context.

#include "Platform/Win/WinTypes.h"

#include <string>

namespace Platform::Gdiplus {
class Bitmap;
class Graphics;
} // namespace Platform::Gdiplus

void PaintText(Platform::HDC dc, const Platform::RECT& rect, const std::wstring& text, Platform::COLORREF color,
               Platform::HFONT font, Platform::UINT format);
void PaintLine(Platform::HDC dc, Platform::COLORREF color, int x1, int y1, int x2, int y2);
// A rectangle with a one-pixel border, in either argument order.
void PaintBox(Platform::HDC dc, Platform::COLORREF fill, Platform::COLORREF border, const Platform::RECT& rect);
void PaintBox(Platform::HDC dc, const Platform::RECT& rect, Platform::COLORREF border, Platform::COLORREF fill);
void PaintFill(Platform::HDC dc, const Platform::RECT& rect, Platform::COLORREF color);
void PaintFrame(Platform::HDC dc, const Platform::RECT& rect, Platform::COLORREF color);
// A frame on rect and another on rect inset by width - 1.
void PaintBorder(Platform::HDC dc, const Platform::RECT& rect, int width, Platform::COLORREF color);
void PaintGradient(Platform::HDC dc, const Platform::RECT& rect, Platform::COLORREF top, Platform::COLORREF bottom);
Platform::SIZE MeasureText(Platform::HDC dc, const std::wstring& text, int length, Platform::HFONT font);

// Picture helpers on a graphics; a null picture draws nothing. A picture made at a
// density (device pixels per logical pixel) shows at its size divided by it.
void DrawPictureCentered(Platform::Gdiplus::Graphics& graphics, const Platform::Gdiplus::Bitmap* picture,
                         const Platform::RECT& rect, double density = 1.0);
void DrawPictureStretched(Platform::Gdiplus::Graphics& graphics, const Platform::Gdiplus::Bitmap* picture,
                          const Platform::RECT& rect);
enum class TextAlignment { Near, Centre, Far };
// One line of UI text centred vertically, cut with an ellipsis when it does not fit.
void DrawCaption(Platform::Gdiplus::Graphics& graphics, const std::wstring& text, const Platform::RECT& rect,
                 Platform::COLORREF color, TextAlignment alignment);
void DrawOutline(Platform::Gdiplus::Graphics& graphics, int x, int y, int width, int height, Platform::COLORREF color,
                 float penWidth);
void DrawOutline(Platform::Gdiplus::Graphics& graphics, const Platform::RECT& rect, Platform::COLORREF color,
                 float penWidth);
