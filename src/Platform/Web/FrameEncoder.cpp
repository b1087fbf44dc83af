#include "Platform/Web/FrameEncoder.h"

#include "Platform/Win/Surface.h"

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

namespace Platform::Web {
namespace {

void Append(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

void NoFlush(png_structp) {}

} // namespace

std::string EncodeFrame(const Surface& surface, const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || area.left < 0 || area.top < 0 || area.right > surface.Width() ||
        area.bottom > surface.Height())
        return {};
    surface.Flush();
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, &Append, &NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Measured at the fastest level: on a 1400 x 820 page of interface (flat areas and
    // text) no row filter took 14 ms for 75 KB, UP 16 ms for 87 KB, SUB 21 ms for 90 KB,
    // the default level 24 ms for 61 KB; on 800 x 540 of photo-like gradients no filter
    // took 36 ms for 795 KB, UP 6 ms for 10 KB, SUB 7 ms for 33 KB. UP is near the best
    // on both, and on loopback time counts more than bytes.
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(png, info);
    for (int y = area.top; y < area.bottom; ++y) {
        const auto* pixels =
            reinterpret_cast<const std::uint32_t*>(surface.Data() + static_cast<std::size_t>(y) * surface.Stride()) +
            area.left;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<png_byte>(pixels[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(pixels[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(pixels[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

} // namespace Platform::Web
