#pragma once
// Rectilinear drawing on a DC: pixel-exact, right and bottom edges exclusive.

#include "Platform/Gdi/GdiTypes.h"

namespace Platform {

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// FillRect with a solid colour, without a brush.
int FillColor(HDC dc, const RECT& rect, COLORREF color);
// A one-pixel frame just inside the rectangle.
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// Outline with the selected pen inside the rectangle, inside filled with the selected
// brush (nothing for the null brush).
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// From the current position to (x, y), the end point not drawn.
BOOL LineTo(HDC dc, int x, int y);
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* meshes, ULONG meshCount,
                  ULONG mode);
BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

} // namespace Platform
