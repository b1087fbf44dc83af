#pragma once
// The system's own raster image: bottom-up rows of 1, 4, 8 or 24 bits, a palette for
// the smaller depths, and an optional alpha plane. Every pixel-changing operation of
// the editor, the rotate buttons and the skin images works on it.
//
// Operations report success and, when they fail, leave the raster as it was: results
// are built in a temporary raster and taken over only on success. Rectangles and
// drawing positions are top-down picture coordinates; storage is bottom-up.

#include "Imaging/RasterExport.h"

#include <cstdint>
#include <string>
#include <vector>

class RasterFile;
namespace Platform {
struct HINSTANCE__;
struct HRSRC__;
struct HDC__;
struct HGDIOBJ__;
} // namespace Platform

class RASTER_EXPORT RasterImage {
public:
    // A palette entry or colour: blue, green, red, alpha.
    struct Color {
        std::uint8_t blue = 0;
        std::uint8_t green = 0;
        std::uint8_t red = 0;
        std::uint8_t alpha = 0;
        friend bool operator==(const Color&, const Color&) = default;
    };

    // What a photo's Exif block says, as far as the system reads it.
    struct ExifInfo {
        // 1 to 8 as Exif numbers them; 1 when the block gives none.
        int orientation = 1;
        // DateTimeOriginal, "YYYY:MM:DD HH:MM:SS" in the camera's local time; empty
        // when the block has none.
        std::string dateTimeOriginal;
    };

    // Largest pixel memory a raster may ask for, in bytes.
    static constexpr float MaxPixelBytes = 268435456.0f;

    // Copies are deep.
    RasterImage();
    ~RasterImage();
    RasterImage(const RasterImage&);
    RasterImage& operator=(const RasterImage&);
    RasterImage(RasterImage&&) noexcept;
    RasterImage& operator=(RasterImage&&) noexcept;

    // Reads the Exif block of a JPEG file, walking its markers from the file's start
    // up to the picture data; false, and info unchanged, when the file is no JPEG or
    // holds no Exif block there.
    static bool GetExifInfo(RasterFile& file, ExifInfo& info);

    bool Create(int width, int height, int bitsPerPixel);
    // 32-bit rows (blue, green, red, alpha); with flip the first row in memory becomes
    // the top of the picture.
    bool CreateFromPixels(const std::uint8_t* rows, int width, int height, int bitsPerPixel, int bytesPerRow,
                          bool flip);
    bool CopyFrom(const RasterImage& source);
    // Takes the other raster's pixels and properties; the other is left empty.
    void TakeOver(RasterImage& other);
    // Decodes PNG bytes; the raster stays as it was when they cannot be decoded.
    bool LoadPng(RasterFile& file);
    // Decodes a PNG resource of the module.
    bool LoadPngResource(Platform::HINSTANCE__* module, Platform::HRSRC__* resource);

    bool ScaleTo(int newWidth, int newHeight);
    bool FitInto(int boxWidth, int boxHeight, Color canvas, RasterImage* destination = nullptr);
    bool Crop(int left, int top, int right, int bottom);
    // The area Crop would keep, made as a new raster in result; this raster is unchanged.
    bool CopyArea(int left, int top, int right, int bottom, RasterImage& result) const;
    bool RotateLeft();
    bool RotateRight();
    bool AdjustLight(int brightness, int contrast);
    bool ApplyTable(const std::uint8_t (&table)[256]);
    bool Saturate(int amount);
    bool ToGray();
    Color GetCanvasColor() const;

    // Draws the raster with its top-left corner at (x, y), stretched to width x height
    // (a negative size means the raster's own). Rasters with an alpha plane, palette
    // alpha or a transparent index are blended with what the device shows; only the
    // part inside the device context's clip box is touched.
    bool DrawTo(Platform::HDC__* dc, int x, int y, int drawWidth = -1, int drawHeight = -1) const;
    // A device bitmap holding the raster's colours (not its alpha); null when empty.
    Platform::HGDIOBJ__* ToDeviceBitmap(Platform::HDC__* dc = nullptr) const;

    bool IsEmpty() const { return pixels.empty(); }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetBitsPerPixel() const { return bits; }
    int GetStride() const { return stride; }
    bool HasAlpha() const { return !alpha.empty(); }

    // Storage row y (0 = bottom row of the picture).
    std::uint8_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * stride; }
    const std::uint8_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * stride; }
    std::uint8_t* AlphaRow(int y) { return alpha.data() + static_cast<std::size_t>(y) * width; }
    const std::uint8_t* AlphaRow(int y) const { return alpha.data() + static_cast<std::size_t>(y) * width; }
    std::vector<Color>& Palette() { return palette; }
    const std::vector<Color>& Palette() const { return palette; }

    // Colour of the pixel at column x of storage row y, through the palette if any.
    Color PixelColor(int x, int y) const;
    // Palette index of a pixel of a 1-, 4- or 8-bit raster.
    int PixelIndex(int x, int y) const;
    void SetPixelIndex(int x, int y, int index);
    // The palette entry closest to a colour.
    int NearestIndex(Color color) const;
    // Stores a colour: the samples of a 24-bit raster, the nearest index otherwise.
    void SetPixelColor(int x, int y, Color color);

    // Adds an all-opaque alpha plane when there is none.
    bool AddAlpha();
    // Drops an alpha plane in which every pixel is opaque, so that the raster is
    // drawn and copied as the plain picture it is; true when it has none now.
    bool DropOpaqueAlpha();
    int GetTransparentIndex() const { return transparentIndex; }
    void SetTransparentIndex(int index) { transparentIndex = index; }
    void SetCanvasColor(Color color) { canvas = color; }
    bool HasPaletteAlpha() const { return paletteAlpha; }
    void SetPaletteAlpha(bool on) { paletteAlpha = on; }

private:
    // The properties that travel with the pixels through every operation.
    void CopyPropertiesFrom(const RasterImage& source);
    bool MakeLike(RasterImage& result, int newWidth, int newHeight) const;
    bool IsGreyPalette() const;
    void ScaleShrinking(RasterImage& result, float xs, float ys) const;
    void ScaleBilinear(RasterImage& result, float xs, float ys) const;
    bool ScaleAlphaInto(RasterImage& result) const;
    bool Rotate(bool left);
    bool IsBlended() const { return transparentIndex != -1 || HasAlpha() || paletteAlpha; }
    // Opacity of a pixel for blended drawing: 0 leaves the device as it is.
    int Opacity(int x, int y) const;
    // The bitmap header and palette that describe the raster's rows to the device.
    std::vector<std::uint8_t> DibHeader() const;

    int width = 0;
    int height = 0;
    int bits = 0;
    int stride = 0;
    std::vector<Color> palette;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> alpha;
    int transparentIndex = -1;
    Color canvas;
    bool paletteAlpha = false;
};
