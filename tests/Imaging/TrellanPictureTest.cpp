// trellan-picture as a user runs it: its exit statuses, messages and output files.

#include "Gdiplus/TestPictures.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include "TestPaths.h"

using namespace Platform;
using namespace Platform::Gdiplus;
using namespace TestPictures;

namespace {

struct Outcome {
    int status;
    std::string output; // standard output and standard error together
};

Outcome Picture(const std::string& arguments)
{
    // A program that hangs ends after a minute with status 124 instead of hanging the test.
    const std::string command = "timeout 60 " + TestPaths::BinDir() + "/trellan-picture " + arguments + " 2>&1";
    Outcome run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 256> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe))
        run.output += buffer.data();
    const int raw = pipe ? pclose(pipe) : -1;
    run.status = raw >= 0 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string Narrow(const std::wstring& path)
{
    return WideToUtf8(path);
}

TEST(TrellanPicture, InfoListsFormatSizeAndFileSize)
{
    const Outcome info = Picture("info " + Narrow(Sample("gif.gif")));
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.output.find(": gif 8x6 " + std::to_string(ReadFile(Sample("gif.gif")).size()) + " bytes"),
              std::string::npos)
        << info.output;
}

TEST(TrellanPicture, UnreadableInputIsReportedWithStatusOne)
{
    TempFolder folder;
    const std::string text = Narrow(folder.File("notes.jpg", {'x'}));
    const Outcome info = Picture("info " + text + " /nonexistent.png " + Narrow(Sample("rgb.png")));
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.output.find("not a picture in a known format"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("cannot open the file"), std::string::npos);
    EXPECT_NE(info.output.find(": png 8x6"), std::string::npos);
    EXPECT_EQ(Picture("thumbnail " + text + " " + Narrow(folder.File("out.png"))).status, 1);
}

TEST(TrellanPicture, SpecialFilesNamedLikePhotosAreRefusedWithoutBlocking)
{
    TempFolder folder;
    const std::string fifo = folder.BytesFile("photo.jpg");
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const Outcome info = Picture("info " + fifo + " /dev/zero " + Narrow(Sample("rgb.png")));
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.output.find(fifo + ": cannot open the file"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("/dev/zero: cannot open the file"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find(": png 8x6"), std::string::npos);
}

TEST(TrellanPicture, FileNamesThatAreNotUtf8AreOpenedByTheirBytes)
{
    TempFolder folder;
    // "照片" in GBK, as archives made on other systems name files.
    const std::vector<std::uint8_t> gif = ReadFile(Sample("gif.gif"));
    const std::string legacy = folder.BytesFile("\xD5\xD5\xC6\xAC.gif", gif);
    const Outcome info = Picture("info '" + legacy + "'");
    EXPECT_EQ(info.status, 0) << info.output;
    EXPECT_EQ(info.output, legacy + ": gif 8x6 " + std::to_string(gif.size()) + " bytes\n");
    EXPECT_EQ(Picture("thumbnail '" + legacy + "' '" + legacy + ".png'").status, 0);
    EXPECT_EQ(Bitmap::FromFile(PathToWide(legacy + ".png"))->GetWidth(), 8u);
}

TEST(TrellanPicture, APictureTooWideForJpegIsRefusedWithAClearMessage)
{
    TempFolder folder;
    const std::string wide = Narrow(folder.File("wide.png", Encode(*Pattern(65535, 1), Png)));
    const Outcome run = Picture("encode --format jpg " + wide + " " + Narrow(folder.File("wide.jpg")));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("too large for the format (JPEG holds at most 65500 pixels a side)"), std::string::npos)
        << run.output;
    EXPECT_EQ(Picture("encode --format png " + wide + " " + Narrow(folder.File("copy.png"))).status, 0);
}

TEST(TrellanPicture, BadArgumentsGiveStatusTwoAndTheUsage)
{
    for (const char* arguments : {"", "resize a b", "thumbnail --box 0x5 a b", "thumbnail --box wide a b",
                                  "thumbnail onlyone", "encode a b", "encode --format png a", "info"}) {
        const Outcome run = Picture(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.output.find("usage:"), std::string::npos) << arguments;
    }
}

TEST(TrellanPicture, ThumbnailAndEncodeWriteByExtensionAndName)
{
    TempFolder folder;
    const std::string input = Narrow(folder.File("wide.png", Encode(*Pattern(300, 200), Png)));
    const std::wstring thumbnail = folder.File("small.BMP");
    ASSERT_EQ(Picture("thumbnail --box 60x60 " + input + " " + Narrow(thumbnail)).status, 0);
    const auto small = Bitmap::FromFile(thumbnail);
    EXPECT_EQ(small->GetRawFormat(), ImageFormat::Bmp);
    EXPECT_EQ(small->GetWidth(), 60u);
    EXPECT_EQ(small->GetHeight(), 40u);

    const std::wstring encoded = folder.File("copy.png");
    ASSERT_EQ(Picture("encode --format tiff " + input + " " + Narrow(encoded)).status, 0);
    const auto copy = Bitmap::FromFile(encoded);
    EXPECT_EQ(copy->GetRawFormat(), ImageFormat::Tiff);
    EXPECT_EQ(Pixels(*copy), Pixels(*Bitmap::FromFile(Utf8ToWide(input))));
}

} // namespace
