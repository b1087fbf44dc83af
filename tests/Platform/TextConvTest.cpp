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
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              L"a\uFFFDb");
    // A cut-off sequence is one replacement; a byte that cannot continue it is read again.
    EXPECT_EQ(Utf8ToWide("ab\xE7\x85"), L"ab\uFFFD");
    EXPECT_EQ(Utf8ToWide("\xC3(x"), L"\uFFFD(x");
    EXPECT_EQ(Utf8ToWide("\xE7\x85\xE7\x85\xA7"), L"\uFFFD照");
    // Overlong forms, surrogates and code points past U+10FFFF are not characters.
    EXPECT_EQ(Utf8ToWide("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80"), std::wstring(9, L'\uFFFD'));
    EXPECT_EQ(Utf8ToWide(""), L"");

    EXPECT_EQ(ValidUtf8("\xC3(\xE7\x85\xA7\xFF"), "\xEF\xBF\xBD(\xE7\x85\xA7\xEF\xBF\xBD");
    EXPECT_TRUE(IsValidUtf8("照片 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC3("));
    EXPECT_EQ(Utf16ToUtf8(u"照\U0001F600"), "\xE7\x85\xA7\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', static_cast<char16_t>(0xDC80)}), "a\xEF\xBF\xBD");
}

TEST(TextConv, FileNamesInLegacyEncodingsRoundTripAndShowAsReplacementCharacters)
{
    // "照片.jpg" in GBK, between valid UTF-8 parts.
    const std::string name = "/tmp/相册/\xD5\xD5\xC6\xAC.jpg";
    const std::wstring wide = PathToWide(name);
    EXPECT_EQ(wide.substr(0, 8), L"/tmp/相册/");
    EXPECT_EQ(WideToPath(wide), name);
    // The last two bytes happen to be valid UTF-8 (U+01AC) and show as that character.
    EXPECT_EQ(WideToUtf8(wide), "/tmp/相册/\xEF\xBF\xBD\xEF\xBF\xBD\xC6\xAC.jpg");
    EXPECT_EQ(WideToUtf16(wide).size(), wide.size());
    EXPECT_EQ(WideToPath(WideFromBstr(ScopedBstr(wide).Get())), name);

    // Valid names are plain text; every byte value survives the trip.
    EXPECT_EQ(PathToWide("照片.jpg"), L"照片.jpg");
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte)
        everyByte.push_back(static_cast<char>(byte));
    EXPECT_EQ(WideToPath(PathToWide(everyByte)), everyByte);
    EXPECT_EQ(WideToPath(PathToWide("\xED\xB2\x80")), "\xED\xB2\x80");
    EXPECT_TRUE(IsValidUtf8(WideToUtf8(PathToWide(everyByte))));
}

TEST(TextConv, Utf16UsesSurrogatePairsAndReplacesLoneSurrogates)
{
    const std::u16string utf16 = WideToUtf16(L"x\U0001F600");
    ASSERT_EQ(utf16.size(), 3u);
    EXPECT_EQ(utf16[1], 0xD83D);
    EXPECT_EQ(utf16[2], 0xDE00);
    EXPECT_EQ(Utf16ToWide(utf16), L"x\U0001F600");
    EXPECT_EQ(Utf16ToWide(std::u16string{u'a', static_cast<char16_t>(0xD800), u'b'}), L"a\uFFFDb");
    EXPECT_EQ(WideToUtf16(std::wstring{L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000)}),
              u"a\uFFFD\uFFFD");
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
