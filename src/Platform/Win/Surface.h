#pragma once
// An ARGB32 pixel buffer: a top-level window's pixels or a memory bitmap. Pixels are
// 0xAARRGGBB words (B, G, R, A bytes in memory), rows top first.
//
// Device pixels. A surface has a scale: one logical pixel (the components' unit, the
// coordinates of every DC) covers scale x scale device pixels (the buffer's). The
// buffer is ceil(logical size x scale) pixels. Logical edges land on device pixels by
// one rounding rule (DeviceEdge), so neighbouring rectangles never overlap or leave a
// gap, a 1-pixel border stays one logical pixel wide and sharp, and at scale 1 every
// pixel is where it always was. Cairo draws through the surface's device scale and
// Pango at device resolution; pixel access (Data, Pixel, CopyFrom, screenshots) is in
// device pixels.

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

    // Scales a surface may have; others are clamped to these.
    static constexpr double kMinimumScale = 0.5;
    static constexpr double kMaximumScale = 4.0;

    // A new surface of width x height logical pixels at scale, filled with fill
    // (opaque white when not given). When the memory cannot be had the surface has
    // one pixel at scale 1.
    Surface(int width, int height, std::uint32_t fill = 0xFFFFFFFFu, double scale = 1.0);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // The buffer's size in device pixels.
    int Width() const { return width; }
    int Height() const { return height; }
    // The size drawing sees, in logical pixels.
    int LogicalWidth() const { return logicalWidth; }
    int LogicalHeight() const { return logicalHeight; }
    double Scale() const { return scale; }
    // The device coordinate of a logical edge, and a logical rectangle's device pixels.
    int DeviceEdge(int logical) const;
    RECT ToDevice(const RECT& logical) const;
    // The size in device pixels of a logical size at a scale.
    static int DeviceSize(int logical, double scale);
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
    double scale;
    int logicalWidth;
    int logicalHeight;
    int width;
    int height;
    _cairo_surface* surface;
};

} // namespace Platform
