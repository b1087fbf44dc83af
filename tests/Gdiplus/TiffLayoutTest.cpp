// TIFF files in the layouts cameras, scanners and editors write: strips and tiles
// (with partial tiles at the edges), 8 and 16 bits, RGB, grey and CMYK, read from a
// file and from memory, decode to the pixels they hold.

#include "Gdiplus/TestPictures.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>
#include <tiffio.h>

using namespace Platform::Gdiplus;
using namespace TestPictures;

namespace {

constexpr int Width = 37;
constexpr int Height = 23;

struct TiffLayout {
    int bits;
    int samples;
    int photometric;
    bool tiled;
};

// The stored 8-bit value of sample s at (x, y); 16-bit files hold it times 257.
int StoredSample(int x, int y, int s)
{
    return (x * 6 + y * 11 + s * 50) % 256;
}

std::array<int, 4> ExpectedBgra(const TiffLayout& layout, int x, int y)
{
    if (layout.photometric == PHOTOMETRIC_MINISBLACK) {
        const int grey = StoredSample(x, y, 0);
        return {grey, grey, grey, 255};
    }
    if (layout.photometric == PHOTOMETRIC_SEPARATED) {
        const int black = 255 - StoredSample(x, y, 3);
        const auto ink = [&](int s) { return (255 - StoredSample(x, y, s)) * black / 255; };
        return {ink(2), ink(1), ink(0), 255};
    }
    return {StoredSample(x, y, 2), StoredSample(x, y, 1), StoredSample(x, y, 0), 255};
}

void PutSample(std::vector<std::uint8_t>& buffer, std::size_t index, int bits, int value)
{
    if (bits == 16) {
        const auto wide = static_cast<std::uint16_t>(value * 257);
        std::memcpy(&buffer[index * 2], &wide, 2);
    } else {
        buffer[index] = static_cast<std::uint8_t>(value);
    }
}

std::string WriteTiff(const TempFolder& folder, const TiffLayout& layout)
{
    const std::string path = folder.BytesFile("layout.tif");
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, Width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, Height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, layout.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, layout.samples);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, layout.photometric);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    // Tiles are left uncompressed: the reader checks their stored sizes closely.
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.tiled ? COMPRESSION_NONE : COMPRESSION_DEFLATE);
    const int block = layout.tiled ? 16 : Width;
    const int rows = layout.tiled ? 16 : 5;
    if (layout.tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rows);
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(block * rows * layout.samples * layout.bits / 8));
    for (int top = 0; top < Height; top += rows) {
        for (int left = 0; left < Width; left += block) {
            std::fill(buffer.begin(), buffer.end(), 0);
            for (int y = 0; y < rows && top + y < Height; ++y)
                for (int x = 0; x < block && left + x < Width; ++x)
                    for (int s = 0; s < layout.samples; ++s)
                        PutSample(buffer, static_cast<std::size_t>((y * block + x) * layout.samples + s), layout.bits,
                                  StoredSample(left + x, top + y, s));
            const auto size =
                static_cast<tmsize_t>(std::min(rows, Height - top) * block * layout.samples * layout.bits / 8);
            if (layout.tiled)
                TIFFWriteEncodedTile(tiff, TIFFComputeTile(tiff, left, top, 0, 0), buffer.data(), -1);
            else
                TIFFWriteEncodedStrip(tiff, TIFFComputeStrip(tiff, top, 0), buffer.data(), size);
        }
    }
    TIFFClose(tiff);
    return path;
}

int LargestDifference(const std::vector<std::uint8_t>& pixels, const TiffLayout& layout)
{
    int largest = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const std::array<int, 4> want = ExpectedBgra(layout, x, y);
            for (int c = 0; c < 4; ++c)
                largest =
                    std::max(largest, std::abs(pixels[static_cast<std::size_t>((y * Width + x) * 4 + c)] - want[c]));
        }
    return largest;
}

TEST(TiffLayouts, StripsAndTilesOfEverySampleLayoutDecodeFromFilesAndMemory)
{
    TempFolder folder;
    for (const bool tiled : {false, true}) {
        for (const TiffLayout layout :
             {TiffLayout{8, 3, PHOTOMETRIC_RGB, tiled}, TiffLayout{16, 3, PHOTOMETRIC_RGB, tiled},
              TiffLayout{8, 1, PHOTOMETRIC_MINISBLACK, tiled}, TiffLayout{16, 1, PHOTOMETRIC_MINISBLACK, tiled},
              TiffLayout{8, 4, PHOTOMETRIC_SEPARATED, tiled}, TiffLayout{16, 4, PHOTOMETRIC_SEPARATED, tiled}}) {
            SCOPED_TRACE(testing::Message() << layout.bits << " bits, " << layout.samples << " samples, photometric "
                                            << layout.photometric << (tiled ? ", tiled" : ", strips"));
            const std::string path = WriteTiff(folder, layout);
            const std::vector<std::uint8_t> bytes = ReadFile(Platform::PathToWide(path));
            for (const auto& bitmap :
                 {Bitmap::FromFile(Platform::PathToWide(path)), Bitmap::FromMemory(bytes.data(), bytes.size())}) {
                const std::vector<std::uint8_t> pixels = Pixels(*bitmap);
                EXPECT_EQ(pixels.size(), std::size_t{Width * Height * 4}) << int(bitmap->GetLastStatus());
                if (pixels.size() == std::size_t{Width * Height * 4}) {
                    EXPECT_LE(LargestDifference(pixels, layout), 1);
                }
            }
        }
    }
}

} // namespace
