#pragma once
// Pictures for the picture tests: the reference pattern that the sample files in the
// picture corpus were made from (by other tools), patterns in memory, pixel reads.

#include "Platform/Gdiplus/Bitmap.h"
#include "Platform/Gdiplus/MemoryStream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include "TestPaths.h"

namespace TestPictures {

using Platform::Gdiplus::Bitmap;

// The samples are 8 x 6; each pixel takes one of 16 colours, and the samples with
// alpha use 255, 128, 0, 64 by column.
constexpr int SampleWidth = 8;
constexpr int SampleHeight = 6;

inline std::array<std::uint8_t, 4> SampleColour(int x, int y)
{
    const int k = (x + 2 * y) % 16;
    return {static_cast<std::uint8_t>((k * 53) % 256), static_cast<std::uint8_t>(255 - k * 16),
            static_cast<std::uint8_t>(k * 17), 255};
}

inline std::uint8_t SampleAlpha(int x)
{
    static constexpr std::uint8_t alpha[] = {255, 128, 0, 64};
    return alpha[x % 4];
}

inline std::wstring Sample(const std::string& name)
{
    return std::filesystem::path(TestPaths::SourceDir() + "/tests/fuzz/corpus/Picture/" + name).wstring();
}

inline std::vector<std::uint8_t> ReadFile(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Rows of blue, green, red, alpha bytes; empty when the bitmap cannot be locked.
inline std::vector<std::uint8_t> Pixels(const Bitmap& bitmap)
{
    using namespace Platform::Gdiplus;
    BitmapData data;
    if (bitmap.LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data) != Status::Ok)
        return {};
    std::vector<std::uint8_t> pixels;
    for (unsigned y = 0; y < data.Height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(data.Scan0) + y * data.Stride;
        pixels.insert(pixels.end(), row, row + data.Width * 4);
    }
    bitmap.UnlockBits(&data);
    return pixels;
}

// The bytes that Save writes; empty when it fails.
inline std::vector<std::uint8_t> Encode(const Bitmap& bitmap, std::uint32_t encoder, int quality = -1)
{
    using namespace Platform::Gdiplus;
    EncoderParameters parameters;
    if (quality >= 0)
        parameters.Parameter.push_back({EncoderQuality, quality});
    MemoryStream stream;
    if (bitmap.Save(stream, ImageEncoderClsid(encoder), &parameters) != Status::Ok)
        return {};
    std::vector<std::uint8_t> bytes(stream.Size());
    stream.Seek(0, MemoryStream::Origin::Begin);
    stream.Read(bytes.data(), bytes.size());
    return bytes;
}

constexpr std::uint32_t Bmp = 0x557CF400, Jpeg = 0x557CF401, Gif = 0x557CF402, Tiff = 0x557CF405, Png = 0x557CF406;

// Smooth gradients with some detail; with alpha, a horizontal alpha ramp.
inline std::vector<std::uint8_t> PatternPixels(int width, int height, bool alpha)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
            p[2] = static_cast<std::uint8_t>((x + y) * 127 / std::max(1, width + height - 2) + 64);
            p[3] = alpha ? static_cast<std::uint8_t>(255 - x * 255 / std::max(1, width - 1)) : 255;
        }
    }
    return pixels;
}

inline std::shared_ptr<Bitmap> Pattern(int width, int height, bool alpha = false)
{
    const std::vector<std::uint8_t> pixels = PatternPixels(width, height, alpha);
    return Bitmap::FromPixels(width, height, width * 4, pixels.data());
}

// A small PNG whose first chunk after the header claims claimedLength bytes of the
// given type, followed by a little data and nothing else.
inline std::vector<std::uint8_t> PngWithOversizedChunk(const char* type, std::uint32_t claimedLength)
{
    const std::vector<std::uint8_t> sample = ReadFile(Sample("rgb.png"));
    std::vector<std::uint8_t> png(sample.begin(), sample.begin() + 33); // signature and header chunk
    for (int shift = 24; shift >= 0; shift -= 8)
        png.push_back(static_cast<std::uint8_t>(claimedLength >> shift));
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), 96, 'x');
    return png;
}

// The most memory this process has held resident so far.
inline std::int64_t PeakResidentBytes()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return std::int64_t{usage.ru_maxrss} * 1024;
}

// A folder of its own for a test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trellan-picture-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring File(const std::string& name, const std::vector<std::uint8_t>& bytes = {}) const
    {
        return std::filesystem::path(BytesFile(name, bytes)).wstring();
    }

    // The file's path as the bytes the file system holds, for names that need not be UTF-8.
    std::string BytesFile(const std::string& name, const std::vector<std::uint8_t>& bytes = {}) const
    {
        const std::filesystem::path file = path / name;
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }

private:
    std::filesystem::path path;
};

} // namespace TestPictures
