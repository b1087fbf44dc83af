#include "Platform/Com/Bstr.h"
#include "Platform/Text/TextConv.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(TextConv, Utf8AndWideRoundTripChineseAndAstralCharacters)
{
    const std::string utf8 = "照片 photo \xF0\x9F\x98\x80";
    const std::wstring wide = Utf8ToWide(utf8);
    EXPECT_EQ(wide, L"照片 photo \U0001F600");
    EXPECT_EQ(WideToUtf8(wide), utf8);
}

TEST(TextConv, InvalidUtf8BecomesReplacementCharactersAndTheRestSurvives)
{
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("ab\xE7\x85"), L"ab\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToWide(""), L"");
}

TEST(TextConv, Utf16UsesSurrogatePairsAndReplacesLoneSurrogates)
{
    const std::u16string utf16 = WideToUtf16(L"x\U0001F600");
    ASSERT_EQ(utf16.size(), 3u);
    EXPECT_EQ(utf16[1], 0xD83D);
    EXPECT_EQ(utf16[2], 0xDE00);
    EXPECT_EQ(Utf16ToWide(utf16), L"x\U0001F600");
    EXPECT_EQ(Utf16ToWide(std::u16string{u'a', static_cast<char16_t>(0xD800), u'b'}), L"a\uFFFDb");
}

TEST(TextConv, LegacyCodePageHoldsChineseAndReplacesWhatItCannotHold)
{
    const std::string previous = AnsiCodePage();
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    EXPECT_EQ(WideToAnsi(L"照片"), "\xD5\xD5\xC6\xAC");
    EXPECT_EQ(AnsiToWide("\xD5\xD5\xC6\xAC"), L"照片");
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, L"a\U0001F600b"), "a?b");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, L"照"), "\xE7\x85\xA7");
    EXPECT_FALSE(SetAnsiCodePage("NO-SUCH-CODE-PAGE"));
    EXPECT_EQ(AnsiCodePage(), "GBK");
    ASSERT_TRUE(SetAnsiCodePage(previous));
}

TEST(Bstr, LengthPrefixedWithNullReadingAsEmpty)
{
    BSTR text = SysAllocString(u"abc");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(text[3], 0);
    SysFreeString(text);

    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(WideFromBstr(nullptr), L"");
    SysFreeString(nullptr);

    const char16_t withZero[] = {u'a', 0, u'b'};
    BSTR embedded = SysAllocStringLen(withZero, 3);
    EXPECT_EQ(SysStringLen(embedded), 3u);
    EXPECT_EQ(WideFromBstr(embedded), std::wstring(L"a\0b", 3));
    SysFreeString(embedded);

    ScopedBstr chinese(std::wstring(L"照片"));
    EXPECT_EQ(SysStringLen(chinese.Get()), 2u);
    EXPECT_EQ(WideFromBstr(chinese.Get()), L"照片");
}
