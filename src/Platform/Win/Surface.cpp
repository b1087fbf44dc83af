#include "Platform/Win/Surface.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Platform {

int Surface::DeviceSize(int logical, double scale)
{
    return static_cast<int>(std::ceil(logical * scale - 1e-9));
}

namespace {

// A NaN scale fails both comparisons of clamp, so it is caught first.
double UsableScale(double scale)
{
    return std::isfinite(scale) ? std::clamp(scale, Surface::kMinimumScale, Surface::kMaximumScale) : 1.0;
}

} // namespace

Surface::Surface(int width, int height, std::uint32_t fill, double scale)
    : scale(UsableScale(scale)), logicalWidth(std::clamp(width, 1, kMaximumSide)),
      logicalHeight(std::clamp(height, 1, kMaximumSide)),
      width(std::min(DeviceSize(logicalWidth, this->scale), kMaximumSide)),
      height(std::min(DeviceSize(logicalHeight, this->scale), kMaximumSide)),
      surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, this->width, this->height))
{
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        // Out of memory: a single pixel keeps every caller working.
        cairo_surface_destroy(surface);
        this->width = this->height = this->logicalWidth = this->logicalHeight = 1;
        this->scale = 1.0;
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    }
    cairo_surface_set_device_scale(surface, this->scale, this->scale);
    Flush();
    std::uint8_t* data = Data();
    for (int y = 0; y < this->height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * Stride());
        std::fill(row, row + this->width, fill);
    }
    MarkDirty();
}

Surface::~Surface()
{
    cairo_surface_destroy(surface);
}

int Surface::DeviceEdge(int logical) const
{
    return static_cast<int>(std::floor(logical * scale + 0.5));
}

RECT Surface::ToDevice(const RECT& logical) const
{
    return RECT{DeviceEdge(logical.left), DeviceEdge(logical.top), DeviceEdge(logical.right),
                DeviceEdge(logical.bottom)};
}

std::uint8_t* Surface::Data()
{
    return cairo_image_surface_get_data(surface);
}

const std::uint8_t* Surface::Data() const
{
    return cairo_image_surface_get_data(surface);
}

int Surface::Stride() const
{
    return cairo_image_surface_get_stride(surface);
}

std::uint32_t Surface::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    Flush();
    const std::uint8_t* data = cairo_image_surface_get_data(surface);
    return reinterpret_cast<const std::uint32_t*>(data + y * Stride())[x];
}

void Surface::SetPixel(int x, int y, std::uint32_t argb)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    Flush();
    reinterpret_cast<std::uint32_t*>(Data() + y * Stride())[x] = argb;
    MarkDirty();
}

void Surface::CopyFrom(const Surface& source, int x, int y)
{
    source.Flush();
    Flush();
    const int left = std::max(0, x), top = std::max(0, y);
    const int right = std::min(width, x + source.width), bottom = std::min(height, y + source.height);
    const std::uint8_t* from = cairo_image_surface_get_data(source.surface);
    for (int row = top; row < bottom; ++row)
        std::memcpy(Data() + row * Stride() + left * 4, from + (row - y) * source.Stride() + (left - x) * 4,
                    static_cast<std::size_t>(std::max(0, right - left)) * 4);
    MarkDirty();
}

bool Surface::WritePng(const std::string& path) const
{
    Flush();
    return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void Surface::Flush() const
{
    cairo_surface_flush(surface);
}

void Surface::MarkDirty()
{
    cairo_surface_mark_dirty(surface);
}

} // namespace Platform
