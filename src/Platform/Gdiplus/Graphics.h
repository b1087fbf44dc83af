#pragma once
// Drawing on a DC with the picture library: pictures scaled and blended by their
// alpha, ARGB fills blended over what is there, outlines and strings. Every operation
// returns its status and keeps it as the last status.

#include "Platform/Gdiplus/GraphicsTypes.h"
#include "Platform/Win/WinTypes.h"

#include <memory>

namespace Platform::Gdiplus {

class Bitmap;
class CachedBitmap;

class Graphics {
public:
    explicit Graphics(HDC dc);

    // At the picture's own size, at a given size, or a source area into a destination.
    Status DrawImage(const Bitmap* image, int x, int y);
    Status DrawImage(const Bitmap* image, int x, int y, int width, int height);
    Status DrawImage(const Bitmap* image, const Rect& destination, int sourceX, int sourceY, int sourceWidth,
                     int sourceHeight, Unit unit);
    Status DrawCachedBitmap(const CachedBitmap* cached, int x, int y);
    Status FillRectangle(const SolidBrush* brush, int x, int y, int width, int height);
    Status FillRectangle(const SolidBrush* brush, const RectF& rect);
    // The outline runs along x .. x + width and y .. y + height, both ends included.
    Status DrawRectangle(const Pen* pen, int x, int y, int width, int height);
    // length -1: up to the terminating null.
    Status DrawString(const wchar_t* text, int length, const Font* font, const RectF& layout,
                      const StringFormat* format, const SolidBrush* brush);

    // Device pixels per logical pixel of what the graphics draws on.
    double DeviceScale() const;
    // Returns the last status and resets it to Ok.
    Status GetLastStatus();
    // Stores a status from an operation done on the graphics' behalf.
    Status SetLastStatus(Status status);

private:
    HDC dc;
    Status lastStatus = Status::Ok;
};

// A picture converted once for fast drawing at its own size.
class CachedBitmap {
public:
    CachedBitmap(const Bitmap* image, Graphics* graphics);
    ~CachedBitmap();
    CachedBitmap(const CachedBitmap&) = delete;
    CachedBitmap& operator=(const CachedBitmap&) = delete;
    Status GetLastStatus() const { return status; }

    // The converted pixels, for Graphics.
    struct Pixels;

private:
    friend class Graphics;
    std::unique_ptr<Pixels> pixels;
    Status status = Status::Ok;
};

} // namespace Platform::Gdiplus
