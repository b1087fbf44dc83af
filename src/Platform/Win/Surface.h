#pragma once
// An ARGB32 pixel buffer: a top-level window's pixels or a memory bitmap. Pixels are
// 0xAARRGGBB words (B, G, R, A bytes in memory), rows top first.

#include "Platform/Win/WinTypes.h"

#include <cstdint>
#include <memory>
#include <string>

struct _cairo_surface;

namespace Platform {

class Surface {
public:
    // Longer sides are cut to this.
    static constexpr int kMaximumSide = 16384;

    // A new surface filled with fill (opaque white when not given). When the memory
    // cannot be had the surface has one pixel.
    Surface(int width, int height, std::uint32_t fill = 0xFFFFFFFFu);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return width; }
    int Height() const { return height; }
    std::uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t argb);
    std::uint8_t* Data();
    const std::uint8_t* Data() const;
    int Stride() const;
    // Copies the overlapping part of source with its top-left corner at (x, y).
    void CopyFrom(const Surface& source, int x, int y);
    bool WritePng(const std::string& path) const;

    // Drawing code hands this to Cairo; call MarkDirty after drawing with Cairo
    // and Flush before reading pixels directly.
    _cairo_surface* CairoSurface() const { return surface; }
    void Flush() const;
    void MarkDirty();

private:
    int width;
    int height;
    _cairo_surface* surface;
};

} // namespace Platform
