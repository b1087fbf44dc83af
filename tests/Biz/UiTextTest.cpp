// The interface's texts: every key in every language, English without Chinese left
// in it, and the formatted texts taking their numbers in each language.

#include "Biz/UiText.h"

#include <boost/format.hpp>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UiLanguage kLanguages[] = {UiLanguage::Chinese, UiLanguage::English};

bool HasChinese(const std::wstring& text)
{
    for (wchar_t c : text)
        if ((c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF))
            return true;
    return false;
}

TEST(UiText, EveryKeyHasATextInEachLanguageAndEnglishHoldsNoChinese)
{
    for (int key = 0; key < static_cast<int>(TextId::Count); ++key) {
        const auto id = static_cast<TextId>(key);
        const std::wstring chinese = UiText::Get(id, UiLanguage::Chinese);
        const std::wstring english = UiText::Get(id, UiLanguage::English);
        EXPECT_TRUE(HasChinese(chinese)) << "key " << key;
        EXPECT_FALSE(english.empty()) << "key " << key;
        EXPECT_FALSE(HasChinese(english)) << "key " << key;
    }
    EXPECT_STREQ(UiText::Get(TextId::Count, UiLanguage::English), L"");
}

TEST(UiText, TheCountTextTakesBothNumbersInEachLanguage)
{
    for (UiLanguage language : kLanguages) {
        std::wstring text;
        EXPECT_NO_THROW(text = (boost::wformat(UiText::Get(TextId::CountFormat, language)) % 12 % 345).str());
        EXPECT_NE(text.find(L"12/345"), std::wstring::npos) << text;
    }
}

TEST(UiText, OnlyTheTwoLanguageNamesAreKnown)
{
    EXPECT_EQ(UiText::LanguageNamed("zh-CN"), UiLanguage::Chinese);
    EXPECT_EQ(UiText::LanguageNamed("en"), UiLanguage::English);
    for (const char* name : {"", "EN", "zh", "zh-cn", "en-US", "fr"})
        EXPECT_EQ(UiText::LanguageNamed(name), std::nullopt) << name;
}

} // namespace
