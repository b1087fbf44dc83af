#pragma once
// Pens, brushes, fonts and bitmaps behind opaque handles. A stale or deleted handle
// finds nothing; stock objects are never deleted.

#include "Platform/Gdi/GdiTypes.h"

#include <memory>
#include <string>

namespace Platform {

class Surface;

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH GetSysColorBrush(int index);
HGDIOBJ GetStockObject(int index);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, const wchar_t* face);
// A 32-bit bitmap of the given logical size, black, at the DC's device scale.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
BOOL DeleteObject(HGDIOBJ object);

// What drawing code needs to know about an object.
struct PenInfo {
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};
struct BrushInfo {
    bool hollow = false;
    COLORREF color = 0;
};
struct FontInfo {
    int height = 12;
    int weight = FW_NORMAL;
    bool italic = false;
    std::wstring face;
};
bool GetPenInfo(HGDIOBJ object, PenInfo& out);
bool GetBrushInfo(HGDIOBJ object, BrushInfo& out);
bool GetFontInfo(HGDIOBJ object, FontInfo& out);
std::shared_ptr<Surface> GetBitmapSurface(HGDIOBJ object);
// Makes a bitmap's pixels those of its logical size at scale when they are at another
// one; what it held is dropped. For back buffers kept between paints, whose window may
// move to a screen of another device pixel ratio. A DC that has the bitmap selected
// keeps drawing on the old pixels, so call it while the bitmap is not selected.
bool FollowDeviceScale(HBITMAP bitmap, double scale);
// A bitmap handle over an existing surface (memory DCs start with a 1 x 1 one).
HBITMAP CreateBitmapOver(std::shared_ptr<Surface> surface);

} // namespace Platform
