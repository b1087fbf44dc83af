// Truncated files, lying headers and absurd sizes: every such file gives an empty
// bitmap or one whose pixels cannot be had, with a status, and never a crash.

#include "Gdiplus/TestPictures.h"
#include "Platform/Gdiplus/PixelBuffer.h"

#include <gtest/gtest.h>

#include <random>

using namespace Platform::Gdiplus;
using namespace TestPictures;

namespace {

std::shared_ptr<Bitmap> Load(const std::vector<std::uint8_t>& bytes)
{
    return Bitmap::FromMemory(bytes.data(), bytes.size());
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void PutBigEndian(std::uint8_t* at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

// A PNG whose header states the size, with a correct checksum, and a little data.
std::vector<std::uint8_t> PngClaiming(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> png = ReadFile(Sample("rgb.png"));
    PutBigEndian(&png[16], width, 4);
    PutBigEndian(&png[20], height, 4);
    PutBigEndian(&png[29], Crc32(&png[12], 17), 4);
    return png;
}

std::vector<std::uint8_t> JpegClaiming(std::uint16_t width, std::uint16_t height)
{
    std::vector<std::uint8_t> jpeg = ReadFile(Sample("baseline.jpg"));
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            PutBigEndian(&jpeg[i + 5], height, 2);
            PutBigEndian(&jpeg[i + 7], width, 2);
            break;
        }
    }
    return jpeg;
}

std::vector<std::uint8_t> BmpClaiming(std::int32_t width, std::int32_t height)
{
    std::vector<std::uint8_t> bmp = ReadFile(Sample("bmp24.bmp"));
    for (int i = 0; i < 4; ++i) {
        bmp[18 + i] = static_cast<std::uint8_t>(width >> (8 * i));
        bmp[22 + i] = static_cast<std::uint8_t>(height >> (8 * i));
    }
    return bmp;
}

void PutLittleEndian16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

// The logical screen and the first frame both claim the size.
std::vector<std::uint8_t> GifClaiming(std::uint16_t width, std::uint16_t height)
{
    std::vector<std::uint8_t> gif = ReadFile(Sample("gif.gif"));
    PutLittleEndian16(&gif[6], width);
    PutLittleEndian16(&gif[8], height);
    const std::size_t colours = std::size_t{3} << ((gif[10] & 7) + 1);
    std::size_t at = 13 + colours;
    while (gif[at] == 0x21) { // skip extensions: introducer, label, then sub-blocks
        at += 2;
        while (gif[at] != 0)
            at += gif[at] + 1u;
        ++at;
    }
    PutLittleEndian16(&gif[at + 5], width);
    PutLittleEndian16(&gif[at + 7], height);
    return gif;
}

TEST(HostileFile, SizesBeyondThePixelLimitAreRefusedAtLoad)
{
    // 9000 x 9000 x 4 bytes is above 2^28; 16384 x 16384 far above.
    for (const auto& bytes : {PngClaiming(16384, 16384), JpegClaiming(9000, 9000), BmpClaiming(9000, 9000),
                              BmpClaiming(70000, 1), GifClaiming(65535, 65535)}) {
        const auto bitmap = Load(bytes);
        EXPECT_EQ(bitmap->GetLastStatus(), Status::ValueOverflow);
        EXPECT_EQ(bitmap->GetWidth(), 0u);
    }
    EXPECT_EQ(PixelBuffer::CheckSize(8192, 8192), Status::Ok);
    EXPECT_EQ(PixelBuffer::CheckSize(8192, 8193), Status::ValueOverflow);
    EXPECT_EQ(Load(PngClaiming(100000, 1))->GetWidth(), 0u);
}

TEST(HostileFile, HeadersPromisingMorePixelsThanTheFileHoldsFailToDecode)
{
    int index = 0;
    for (const auto& bytes : {PngClaiming(8000, 8000), JpegClaiming(8000, 8000), BmpClaiming(8000, 8000),
                              BmpClaiming(8000, -8000), GifClaiming(8000, 100)}) {
        SCOPED_TRACE(index++);
        const auto bitmap = Load(bytes);
        EXPECT_EQ(bitmap->GetWidth(), 8000u);
        EXPECT_TRUE(Pixels(*bitmap).empty());
        EXPECT_NE(bitmap->GetLastStatus(), Status::Ok);
    }
}

TEST(HostileFile, TruncatedFilesNeverGivePixels)
{
    const auto picture = Pattern(48, 40, true);
    std::vector<std::vector<std::uint8_t>> files;
    for (std::uint32_t encoder : {Jpeg, Png, Gif, Bmp, Tiff})
        files.push_back(Encode(*picture, encoder));
    for (const char* name : {"progressive.jpg", "interlaced.gif", "bmp8rle.bmp", "tiff-tiled.tif"})
        files.push_back(ReadFile(Sample(name)));
    for (const auto& file : files) {
        ASSERT_FALSE(file.empty());
        for (const std::size_t keep : {file.size() * 3 / 4, file.size() / 2, std::size_t(30), std::size_t(9)}) {
            SCOPED_TRACE(testing::Message() << "format " << int(Load(file)->GetRawFormat()) << " keep " << keep);
            const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(keep));
            const auto bitmap = Load(cut);
            EXPECT_TRUE(Pixels(*bitmap).empty());
            EXPECT_FALSE(bitmap->GetThumbnailImage(4, 4));
        }
    }
}

TEST(HostileFile, RandomBytesBehindEachSignatureGiveAStatusOrPixelsOfTheStatedSize)
{
    std::mt19937 random(7);
    const std::vector<std::vector<std::uint8_t>> signatures = {{0xFF, 0xD8, 0xFF},
                                                               {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A},
                                                               {'G', 'I', 'F', '8', '9', 'a'},
                                                               {'B', 'M'},
                                                               {'I', 'I', '*', 0},
                                                               {'M', 'M', 0, '*'}};
    for (const auto& signature : signatures) {
        for (int round = 0; round < 200; ++round) {
            std::vector<std::uint8_t> bytes = signature;
            const int length = static_cast<int>(random() % 300);
            for (int i = 0; i < length; ++i)
                bytes.push_back(static_cast<std::uint8_t>(random()));
            const auto bitmap = Load(bytes);
            const std::uint64_t area = std::uint64_t{bitmap->GetWidth()} * bitmap->GetHeight();
            EXPECT_TRUE(area > 0 || bitmap->GetLastStatus() != Status::Ok);
            if (area == 0 || area > 1u << 20)
                continue;
            const std::vector<std::uint8_t> pixels = Pixels(*bitmap);
            EXPECT_TRUE(pixels.empty() || pixels.size() == area * 4);
        }
    }
}

TEST(HostileFile, ChunksClaimingGigabytesAreSkippedWithoutAllocatingThem)
{
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP", "eXIf", "prVt"}) {
        SCOPED_TRACE(type);
        const std::int64_t before = PeakResidentBytes();
        const auto bitmap = Load(PngWithOversizedChunk(type, 0x7FFFFFF0u));
        EXPECT_NE(bitmap->GetLastStatus(), Status::Ok);
        EXPECT_TRUE(Pixels(*bitmap).empty());
        EXPECT_LT(PeakResidentBytes() - before, std::int64_t{256} << 20);
    }
}

} // namespace
