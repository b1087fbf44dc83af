#pragma once
// Device contexts: drawing targets (window surfaces, memory bitmaps) with their
// selected objects, colours, origin and clip.

#include "Platform/Gdi/GdiTypes.h"

#include <memory>

namespace Platform {

class Region;
class Surface;

// Coordinates of every DC are logical pixels; the DC's target may have a device scale
// (see Surface). What reference draws on gives its scale to a compatible DC and to a
// compatible bitmap, so off-screen drawing is as sharp as the window's and BitBlt
// between them copies device pixels one for one.

// Device pixels per logical pixel of what the DC draws on (1 for none).
double GetDeviceScale(HDC dc);
// A memory DC with a 1 x 1 bitmap selected until another is, at reference's scale.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
// Returns the object it replaces; for bitmaps the DC then draws into the new one.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int SaveDC(HDC dc);
// level > 0: back to that SaveDC level; negative: that many levels back.
BOOL RestoreDC(HDC dc, int level);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);
// The logical point drawn at the viewport origin.
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous);
// Only MM_TEXT (one logical unit is one pixel, y downwards) is supported; other modes
// fail with 0 and leave the context as it is. Returns the previous mode.
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
// The clip area's bounds in logical coordinates.
int GetClipBox(HDC dc, RECT* rect);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
int SetROP2(HDC dc, int mode);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);

constexpr UINT OBJ_PEN = 1;
constexpr UINT OBJ_BRUSH = 2;
constexpr UINT OBJ_FONT = 6;
constexpr UINT OBJ_BITMAP = 7;

// For the window system: a DC over surface with logical (0, 0) at origin and drawing
// limited to clip (both in surface coordinates).
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const Region& clip, HWND window);
BOOL DeleteSurfaceDC(HDC dc);
// The bounds of what was drawn through the DC since the last call.
bool TakeSurfaceDirtyRect(HDC dc, RECT* dirty);

} // namespace Platform
