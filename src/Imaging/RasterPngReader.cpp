#include "Imaging/RasterPngReader.h"

#include "Imaging/RasterFile.h"
#include "Imaging/RasterImage.h"
#include "Platform/Gdiplus/PixelBuffer.h"
#include "Platform/Gdiplus/PngReadLimits.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// What the header says once the transformations are set. Plain data only: the
// functions that hold a libpng error jump keep no objects with destructors.
struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colorType = 0;
    int bitDepth = 0;
    int channels = 0;
    png_size_t rowBytes = 0;
    png_color palette[256] = {};
    int paletteSize = 0;
    png_byte paletteAlpha[256] = {};
    int paletteAlphaCount = 0;
};

void ReadFromFile(png_structp png, png_bytep out, png_size_t length)
{
    auto* file = static_cast<RasterFile*>(png_get_io_ptr(png));
    if (file->Read(out, length) != length)
        png_error(png, "truncated");
}

void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

bool ReadHeader(png_structp png, png_infop info, PngHeader& header)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    int interlace = 0;
    png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType, &interlace, nullptr,
                 nullptr);
    const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS);
    switch (header.colorType) {
    case PNG_COLOR_TYPE_GRAY:
        if (hasTransparency) {
            png_set_expand_gray_1_2_4_to_8(png);
            png_set_tRNS_to_alpha(png);
        }
        break;
    case PNG_COLOR_TYPE_RGB:
        if (hasTransparency)
            png_set_tRNS_to_alpha(png);
        png_set_bgr(png);
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        png_set_bgr(png);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        break;
    case PNG_COLOR_TYPE_PALETTE: {
        png_colorp colors = nullptr;
        if (png_get_PLTE(png, info, &colors, &header.paletteSize))
            std::copy_n(colors, std::min(header.paletteSize, 256), header.palette);
        png_bytep alphas = nullptr;
        if (hasTransparency && png_get_tRNS(png, info, &alphas, &header.paletteAlphaCount, nullptr))
            std::copy_n(alphas, std::min(header.paletteAlphaCount, 256), header.paletteAlpha);
        break;
    }
    default:
        return false;
    }
    if (header.bitDepth == 16)
        png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header.bitDepth = png_get_bit_depth(png, info);
    header.channels = png_get_channels(png, info);
    header.colorType = png_get_color_type(png, info);
    header.rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

RasterImage::Color GreyLevel(int index, int depth)
{
    const auto level = static_cast<std::uint8_t>(index * 255 / ((1 << depth) - 1));
    return RasterImage::Color{level, level, level, 0};
}

// Fills raster (already created with the right depth) from the decoded rows.
void Convert(const PngHeader& header, const std::vector<png_bytep>& rows, RasterImage& raster)
{
    const int width = static_cast<int>(header.width);
    const int height = static_cast<int>(header.height);
    for (int i = 0; i < height; ++i) {
        const png_bytep row = rows[i];
        const int stored = height - 1 - i;
        if (header.channels >= 3) {
            std::uint8_t* target = raster.Row(stored);
            for (int x = 0; x < width; ++x) {
                std::memcpy(target + x * 3, row + x * header.channels, 3);
                if (header.channels == 4)
                    raster.AlphaRow(stored)[x] = row[x * 4 + 3];
            }
        } else if (header.channels == 2) {
            for (int x = 0; x < width; ++x) {
                raster.Row(stored)[x] = row[x * 2];
                raster.AlphaRow(stored)[x] = row[x * 2 + 1];
            }
        } else if (header.bitDepth == 2) {
            for (int x = 0; x < width; ++x)
                raster.SetPixelIndex(x, stored, (row[x >> 2] >> (6 - 2 * (x & 3))) & 3);
        } else {
            std::memcpy(raster.Row(stored), row, header.rowBytes);
        }
    }
}

void FillPalette(const PngHeader& header, RasterImage& raster)
{
    std::vector<RasterImage::Color>& palette = raster.Palette();
    if (header.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < header.paletteSize && i < static_cast<int>(palette.size()); ++i) {
            const png_color& c = header.palette[i];
            const std::uint8_t alpha = i < header.paletteAlphaCount ? header.paletteAlpha[i] : 255;
            palette[i] = RasterImage::Color{c.blue, c.green, c.red, alpha};
        }
        raster.SetPaletteAlpha(header.paletteAlphaCount > 0);
        return;
    }
    const int depth = header.channels == 2 ? 8 : header.bitDepth;
    for (int i = 0; i < (1 << depth) && i < static_cast<int>(palette.size()); ++i)
        palette[i] = GreyLevel(i, depth);
}

} // namespace

bool RasterPngReader::Read(RasterFile& file, RasterImage& result)
{
    png_structp png = Platform::Gdiplus::CreateLimitedPngReader(OnError, OnWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    png_set_read_fn(png, &file, ReadFromFile);

    bool ok = false;
    PngHeader header;
    RasterImage raster;
    if (ReadHeader(png, info, header) &&
        Platform::Gdiplus::PixelBuffer::CheckSize(header.width, header.height) == Platform::Gdiplus::Status::Ok) {
        const int depth = header.channels >= 3   ? 24
                          : header.channels == 2 ? 8
                          : header.bitDepth == 2 ? 4
                                                 : header.bitDepth;
        const bool withAlpha = header.channels == 2 || header.channels == 4;
        if (raster.Create(static_cast<int>(header.width), static_cast<int>(header.height), depth) &&
            (!withAlpha || raster.AddAlpha())) {
            try {
                std::vector<png_byte> pixels(header.rowBytes * header.height);
                std::vector<png_bytep> rows(header.height);
                for (png_uint_32 i = 0; i < header.height; ++i)
                    rows[i] = pixels.data() + i * header.rowBytes;
                if (ReadRows(png, rows.data())) {
                    FillPalette(header, raster);
                    Convert(header, rows, raster);
                    ok = true;
                }
            } catch (const std::bad_alloc&) {
                ok = false;
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (ok)
        result.TakeOver(raster);
    return ok;
}
