// The raster class's Exif reader on JPEG files as cameras write them and as hostile
// files are: the orientation and the time the photo was taken are found behind other
// segments, and no bytes outside the file are ever read. And the file class over C
// streams that it reads them through.

#include "Gdiplus/ExifJpeg.h"
#include "Imaging/RasterIOFile.h"
#include "Imaging/RasterImage.h"
#include "Imaging/RasterMemFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>

using namespace ExifJpeg;

namespace {

std::vector<std::uint8_t> WithSegment(const std::vector<std::uint8_t>& jpeg, std::uint8_t marker, std::size_t size)
{
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(),
               {0xFF, marker, static_cast<std::uint8_t>((size + 2) >> 8), static_cast<std::uint8_t>(size + 2)});
    out.insert(out.end(), size, 0xAB);
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// Reads from a buffer of exactly the bytes' size, so that a read past the end shows
// under the address sanitizer.
bool Read(const std::vector<std::uint8_t>& bytes, RasterImage::ExifInfo& info)
{
    const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    RasterMemFile file(exact.get(), bytes.size());
    return RasterImage::GetExifInfo(file, info);
}

TEST(ExifInfo, APhotoSaysWhenItWasTakenAndHowItIsTurnedInEitherByteOrder)
{
    TestPictures::TempFolder folder;
    const std::vector<std::uint8_t> photo = NoisyJpeg(2400, 1600);
    ASSERT_GT(photo.size(), 3u << 20) << "a photo of real size";
    for (const bool bigEndian : {false, true}) {
        // Behind an APP2 segment, as cameras store colour profiles, which is skipped.
        const std::vector<std::uint8_t> bytes =
            WithSegment(WithApp1(photo, ExifPayloadWithDate("2019:07:14 18:30:05", 6, bigEndian)), 0xE2, 60000);
        const std::wstring path = folder.File(bigEndian ? "mm.jpg" : "ii.jpg", bytes);
        RasterIOFile file;
        ASSERT_TRUE(file.Open(path, "rb"));
        RasterImage::ExifInfo info;
        ASSERT_TRUE(RasterImage::GetExifInfo(file, info)) << bigEndian;
        EXPECT_EQ(info.dateTimeOriginal, "2019:07:14 18:30:05");
        EXPECT_EQ(info.orientation, 6);
        // The reader begins at the start, wherever the file stands.
        RasterImage::ExifInfo again;
        ASSERT_TRUE(RasterImage::GetExifInfo(file, again));
        EXPECT_EQ(again.dateTimeOriginal, info.dateTimeOriginal);
    }
    // The orientation alone, as the decoder reads it, without a time.
    RasterImage::ExifInfo info;
    ASSERT_TRUE(Read(WithOrientation(photo, 8), info));
    EXPECT_EQ(info.orientation, 8);
    EXPECT_EQ(info.dateTimeOriginal, "");
}

TEST(ExifInfo, FilesWithoutAUsableBlockSayNothing)
{
    const std::vector<std::uint8_t> jpeg = QuadrantJpeg(64, 48);
    RasterImage::ExifInfo info;
    info.orientation = 3;
    EXPECT_FALSE(Read(jpeg, info));
    EXPECT_EQ(info.orientation, 3) << "left as it was";
    EXPECT_FALSE(Read(TestPictures::Encode(*TestPictures::Pattern(20, 20), TestPictures::Png), info));
    EXPECT_FALSE(Read({}, info));

    // Cameras that do not know the time write blanks; a date not of the form, or lying
    // outside the block, is no time either.
    for (const std::string date : {"    :  :     :  :  ", "2019-07-14 18:30:05", "2019:07:1x 18:30:05", "2019:07"}) {
        RasterImage::ExifInfo read;
        ASSERT_TRUE(Read(WithApp1(jpeg, ExifPayloadWithDate(date)), read)) << date;
        EXPECT_EQ(read.dateTimeOriginal, "") << date;
    }
    std::vector<std::uint8_t> payload = ExifPayloadWithDate("2019:07:14 18:30:05");
    payload[6 + 8 + 2 + 2 * 12 + 4 + 2 + 8] = 0xF0; // the text's offset, far beyond the block
    RasterImage::ExifInfo read;
    ASSERT_TRUE(Read(WithApp1(jpeg, payload), read));
    EXPECT_EQ(read.dateTimeOriginal, "");
    // The Exif directory pointing back at the first one is not walked twice.
    payload = ExifPayloadWithDate("2019:07:14 18:30:05");
    payload[6 + 8 + 2 + 12 + 8] = 8;
    payload[6 + 8 + 2 + 12 + 9] = 0;
    ASSERT_TRUE(Read(WithApp1(jpeg, payload), read));
    EXPECT_EQ(read.dateTimeOriginal, "");
}

TEST(ExifInfo, EveryCutOfTheHeadersIsReadWithinItsBytes)
{
    const std::vector<std::uint8_t> jpeg =
        WithApp1(QuadrantJpeg(32, 32), ExifPayloadWithDate("2001:02:03 04:05:06", 5));
    const std::size_t headers = 2 + 4 + ExifPayloadWithDate("2001:02:03 04:05:06").size();
    for (std::size_t keep = 0; keep < headers + 8; ++keep) {
        const std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.begin() + static_cast<long>(keep));
        RasterImage::ExifInfo info;
        EXPECT_EQ(Read(cut, info), keep >= headers) << keep;
        EXPECT_EQ(info.dateTimeOriginal, keep >= headers ? "2001:02:03 04:05:06" : "") << keep;
    }
    // A length below two bytes and segments running past the end end the walk.
    const std::vector<std::uint8_t> tooShort = {0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x01, 0xFF, 0xE1};
    const std::vector<std::uint8_t> pastTheEnd = {0xFF, 0xD8, 0xFF, 0xE2, 0xFF, 0xFF, 0x00, 0x00};
    RasterImage::ExifInfo info;
    EXPECT_FALSE(Read(tooShort, info));
    EXPECT_FALSE(Read(pastTheEnd, info));
}

TEST(RasterIOFileTest, AFileWrittenReadsBackAndWhatIsNoRegularFileIsRefused)
{
    TestPictures::TempFolder folder;
    const std::wstring path = folder.File("lines.txt");
    {
        RasterIOFile out;
        ASSERT_TRUE(out.Open(path, "wb"));
        EXPECT_EQ(out.Write("width 640\n", 10), 10u);
        EXPECT_TRUE(out.PutC('x'));
    }
    RasterIOFile in;
    ASSERT_TRUE(in.Open(path, "rb"));
    EXPECT_EQ(in.Size(), 11);
    int width = 0;
    EXPECT_EQ(in.Scanf("width %d\n", &width), 1);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(in.GetC(), 'x');
    EXPECT_EQ(in.GetC(), EOF);
    EXPECT_TRUE(in.Close());
    EXPECT_EQ(in.GetC(), EOF) << "closed";

    // A FIFO named like a photo is refused at once instead of blocking the reader.
    const std::wstring fifo = folder.File("pipe.jpg");
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(std::filesystem::path(fifo).c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(in.Open(fifo, "rb"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

} // namespace
