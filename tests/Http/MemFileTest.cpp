#include "Http/HttpHeader.h"
#include "Http/MemFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>

namespace {

const std::string B = "---------------------------7da1d41060a1a";

std::string Contents(const MemFile& file)
{
    return std::string(reinterpret_cast<const char*>(file.GetBuffer()), static_cast<std::size_t>(file.Size()));
}

std::size_t Occurrences(const std::string& text, const std::string& pattern)
{
    std::size_t count = 0;
    for (auto at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1))
        ++count;
    return count;
}

TEST(MemFileTest, BoundaryStaysWhenNoPartHoldsItsDelimiter)
{
    MemFile file;
    for (const std::string& value : {B, "x--" + B, "\r\n-" + B, "\r\n---" + B, "\r\n--" + B.substr(1), "--\r\n" + B})
        file.AddField("f", value);
    file.End();
    const std::string before = Contents(file);
    EXPECT_EQ(file.ChooseBoundary(), B);
    EXPECT_EQ(Contents(file), before);
}

TEST(MemFileTest, APartHoldingTheDelimiterGetsABoundaryFoundNowhereInTheBody)
{
    const std::string forged = "Content-Disposition: form-data; name=\"admin\"\r\n\r\n1";
    // Inside a value, at its start (after the blank line that ends the part's header),
    // after a line feed alone (a delimiter to PHP's parser), and in the file's bytes.
    for (const std::string& value : {"a\r\n--" + B + "\r\n" + forged, "--" + B + "\r\n" + forged, "a\n--" + B + "--",
                                     std::string("\0\r\n--", 5) + B}) {
        MemFile file;
        file.AddField("remark", value);
        file.AddFile("p.png", reinterpret_cast<const std::uint8_t*>(value.data()),
                     static_cast<std::int32_t>(value.size()), "file");
        file.End();
        const std::string fresh = file.ChooseBoundary();
        EXPECT_TRUE(std::regex_match(fresh, std::regex("-{27}[0-9a-f]{13}"))) << fresh;
        EXPECT_EQ(file.GetBoundary(), fresh);
        EXPECT_EQ(Contents(file), "--" + fresh + "\r\nContent-Disposition: form-data; name=\"remark\"\r\n\r\n" + value +
                                      "\r\n--" + fresh +
                                      "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"p.png\"\r\n"
                                      "Content-Type: image/png\r\nContent-Transfer-Encoding: binary\r\n\r\n" +
                                      value + "\r\n--" + fresh + "--\r\n");
        EXPECT_EQ(Occurrences(Contents(file), fresh), 3u);
    }
}

TEST(MemFileTest, TwentyMegabytesAreSearchedInOnePass)
{
    std::string photo(20u << 20, '-');
    for (std::size_t i = 0; i < photo.size(); i += 41)
        photo[i] = '\n';
    photo.replace(photo.size() - 43, 43, "\n--" + B);
    MemFile file;
    file.AddField("id", "1");
    file.AddFile("p.bmp", reinterpret_cast<const std::uint8_t*>(photo.data()), static_cast<std::int32_t>(photo.size()),
                 "file");
    file.End();
    const auto start = std::chrono::steady_clock::now();
    const std::string fresh = file.ChooseBoundary();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_NE(fresh, B);
    EXPECT_EQ(Occurrences(Contents(file), "\n--" + fresh), 2u);
    EXPECT_LT(took, std::chrono::seconds(1));
}

TEST(MemFileTest, FieldPartsAreLaidOutByteForByte)
{
    MemFile file;
    file.AddField("id", "abc");
    file.AddNumberField("width", -7);
    file.AddNumberField("height", 0);
    file.AddField("remark", "");
    EXPECT_EQ(Contents(file), "--" + B + "\r\nContent-Disposition: form-data; name=\"id\"\r\n\r\nabc\r\n" + "--" + B +
                                  "\r\nContent-Disposition: form-data; name=\"width\"\r\n\r\n-7\r\n" + "--" + B +
                                  "\r\nContent-Disposition: form-data; name=\"height\"\r\n\r\n0\r\n" + "--" + B +
                                  "\r\nContent-Disposition: form-data; name=\"remark\"\r\n\r\n\r\n");
}

TEST(MemFileTest, FilePartCarriesNameMediaTypeAndBytes)
{
    const std::uint8_t data[] = {0x89, 'P', 0, 'G'};
    MemFile file;
    file.AddFile("a.png", data, 4, "file");
    file.End();
    const std::string expected = "--" + B +
                                 "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a.png\"\r\n" +
                                 "Content-Type: image/png\r\nContent-Transfer-Encoding: binary\r\n\r\n" +
                                 std::string("\x89P\0G", 4) + "\r\n--" + B + "--\r\n";
    EXPECT_EQ(Contents(file), expected);
}

TEST(MemFileTest, QuoteAndLineBreaksInTheFileNameArePercentEncoded)
{
    MemFile file;
    file.AddFile("a\"b\r\nc%d.png", nullptr, 0, "file");
    const std::string text = Contents(file);
    EXPECT_NE(text.find("; filename=\"a%22b%0D%0Ac%d.png\"\r\nContent-Type: image/png\r\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '"'), 4);
}

TEST(MemFileTest, MediaTypeFollowsTheExactExtensionOfTheSentName)
{
    for (const auto& [name, type] :
         {std::pair{"x.PNG", "application/octet-stream"}, std::pair{"x%2Epng", "application/octet-stream"},
          std::pair{"a.b c", "application/octet-stream"}, std::pair{"dir.d\\x", "application/octet-stream"},
          std::pair{"a.jpg", "image/jpeg"}, std::pair{"p.tif", "image/tiff"}}) {
        MemFile file;
        file.AddFile(name, nullptr, 0, "f");
        EXPECT_NE(Contents(file).find(std::string("Content-Type: ") + type + "\r\n"), std::string::npos) << name;
    }
}

TEST(MemFileTest, UnencodablePictureGivesAnEmptyFilePart)
{
    MemFile file;
    file.AddFile("x.jpg", nullptr, 0, "file");
    const std::string text = Contents(file);
    EXPECT_EQ(text.substr(text.size() - 6), "\r\n\r\n\r\n");
}

TEST(MemFileTest, EndAloneIsFortySixBytes)
{
    MemFile file;
    file.End();
    EXPECT_EQ(file.Size(), 46);
}

TEST(MemFileTest, GrowsInSixtyFourKibSteps)
{
    MemFile file;
    std::string bytes(100000, 'x');
    ASSERT_EQ(file.Write("y", 1, 1), 1);
    EXPECT_EQ(file.Size(), 1);
    ASSERT_EQ(file.Write(bytes.data(), 1, static_cast<std::int32_t>(bytes.size())), 100000);
    EXPECT_EQ(file.Size(), 100001);
    EXPECT_EQ(Contents(file), "y" + bytes);
}

TEST(MemFileTest, SeekClampsAndErrorReportsAPositionPastTheEnd)
{
    MemFile file;
    file.Write("0123456789", 1, 10);
    EXPECT_TRUE(file.Seek(-10, 0));
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_TRUE(file.Seek(5, 2));
    EXPECT_EQ(file.Tell(), 15);
    EXPECT_EQ(file.Error(), 1);
    EXPECT_TRUE(file.Eof());
    EXPECT_FALSE(file.Seek(1, 3));
    EXPECT_EQ(file.Tell(), 15);
    EXPECT_TRUE(file.Seek(-3, 1));
    EXPECT_EQ(file.Tell(), 12);
}

TEST(MemFileTest, WritingPastTheEndLeavesZerosInTheGap)
{
    MemFile file;
    file.Write("ab", 1, 2);
    file.Seek(4, 2);
    file.PutC('z');
    EXPECT_EQ(Contents(file), std::string("ab\0\0\0\0z", 7));
}

TEST(MemFileTest, ReadGetCAndGetSWalkTheBytes)
{
    MemFile file;
    file.Write("line one\nrest", 1, 13);
    file.Seek(0, 0);
    char line[32];
    ASSERT_NE(file.GetS(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "line one\n");
    EXPECT_EQ(file.GetC(), 'r');
    char rest[8] = {};
    EXPECT_EQ(file.Read(rest, 1, 8), 3);
    EXPECT_STREQ(rest, "est");
    EXPECT_EQ(file.GetC(), -1);
    EXPECT_EQ(file.GetS(line, sizeof line), nullptr);
    file.Seek(0, 0);
    EXPECT_EQ(file.Read(rest, 4, 2), 2);
    EXPECT_EQ(file.Read(rest, 4, 2), 1);
}

TEST(MemFileTest, ClosedFileRefusesEveryOperation)
{
    MemFile file;
    file.Write("abc", 1, 3);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.GetBuffer(), nullptr);
    EXPECT_EQ(file.Size(), -1);
    EXPECT_EQ(file.Tell(), -1);
    EXPECT_EQ(file.Error(), -1);
    EXPECT_EQ(file.Write("x", 1, 1), 0);
    EXPECT_FALSE(file.PutC('x'));
    EXPECT_FALSE(file.Seek(0, 0));
    EXPECT_FALSE(file.Flush());
    EXPECT_TRUE(file.Eof());
}

TEST(MemFileTest, SizesThatOverflowThirtyTwoBitsAreRefused)
{
    MemFile file;
    char byte = 'x';
    EXPECT_EQ(file.Write(&byte, 65536, 65536), 0);
    EXPECT_EQ(file.Size(), 0);
    EXPECT_EQ(file.Write(&byte, 1, 1), 1);
}

} // namespace
