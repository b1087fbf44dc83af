#include "Biz/Digest.h"
#include "Biz/FileNaming.h"
#include "Biz/WireText.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

const std::uint8_t kAbc[] = {'a', 'b', 'c'};

std::string Name(const std::wstring& fileName, const std::string& rule, const std::wstring& encodeType,
                 const std::uint8_t* bytes = kAbc, std::size_t length = 3)
{
    const auto dot = fileName.rfind(L'.');
    const std::wstring extension = dot == std::wstring::npos ? L"" : fileName.substr(dot);
    return MakeSentName(fileName, extension, bytes, length, rule, encodeType);
}

TEST(DigestTest, CrcAndMd5InLowercaseHex)
{
    EXPECT_EQ(Crc32Hex(kAbc, 3), "c2412435");
    const std::string digits = "123456789";
    EXPECT_EQ(Crc32Hex(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()), "2639f4cb");
    EXPECT_EQ(Md5Hex(kAbc, 3), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Crc32Hex(nullptr, 0), "00000000");
    EXPECT_EQ(Md5Hex(nullptr, 0), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(FileNamingTest, EncodeTypeAndRuleTogether)
{
    EXPECT_EQ(Name(L"photo 1.JPG", "ori", L"UTF-8"), "photo+1%2EJPG");
    EXPECT_EQ(Name(L"photo 1.JPG", "md5", L"utf-8"), "900150983cd24fb0d6963f7d28e17f72%2EJPG");
    EXPECT_EQ(Name(L"photo 1.JPG", "ori", L"gbk"), "photo 1.JPG");
    EXPECT_TRUE(std::regex_match(Name(L"photo 1.JPG", "guid", L"gbk"), std::regex("[0-9a-f]{32}\\.JPG")));
    EXPECT_EQ(Name(L"photo.jpg", "crc", L"gbk"), "c2412435.jpg");
}

TEST(FileNamingTest, RuleNamesAreCaseSensitive)
{
    EXPECT_EQ(Name(L"a.png", "GUID", L"x"), "a.png");
    EXPECT_EQ(Name(L"a.png", "Md5", L"x"), "a.png");
}

TEST(FileNamingTest, GuidNamesLoseEveryHyphenAndDiffer)
{
    const std::string first = Name(L"a.tar-gz", "guid", L"x");
    EXPECT_TRUE(std::regex_match(first, std::regex("[0-9a-f]{32}\\.targz"))) << first;
    EXPECT_NE(first, Name(L"a.tar-gz", "guid", L"x"));
    EXPECT_TRUE(std::regex_match(Name(L"noext", "guid", L"x"), std::regex("[0-9a-f]{32}")));
    EXPECT_EQ(Name(L"a.tar-gz", "crc", L"x"), "c2412435.tar-gz");
}

TEST(FileNamingTest, UnicodeNamesArePercentEncodedUtf8)
{
    EXPECT_EQ(Name(L"照片.jpg", "ori", L"utf-8"), "%E7%85%A7%E7%89%87%2Ejpg");
}

TEST(FileNamingTest, UnencodablePictureHashesNoBytes)
{
    EXPECT_EQ(Name(L"a.jpg", "crc", L"x", nullptr, 0), "00000000.jpg");
}

TEST(WireTextTest, PercentEncodingKeepsOnlyLettersAndDigits)
{
    EXPECT_EQ(PercentEncode("a.b"), "a%2Eb");
    EXPECT_EQ(PercentEncode("A z-_~9"), "A+z%2D%5F%7E9");
    EXPECT_EQ(PercentEncode(std::string("\0\xff", 2)), "%00%FF");
}

TEST(WireTextTest, RemarkFollowsTheEncodeType)
{
    const std::string remark = EncodeWireText(L"照片", L"Utf-8");
    EXPECT_EQ(remark, "%E7%85%A7%E7%89%87");
    EXPECT_EQ(remark.size(), 18u);
    EXPECT_EQ(EncodeWireText(L"a b", L"gbk"), Platform::WideToAnsi(L"a b"));
}

} // namespace
