#pragma once
// Text conversions between UTF-8, wide strings (UTF-32 on this platform), UTF-16 and
// the system ANSI code page. Input that is not valid in its encoding, and characters
// a target code page cannot hold, become the target's replacement character (U+FFFD
// for Unicode targets, '?' for a code page); nothing is silently dropped.

#include "Platform/Com/ComTypes.h"

#include <string>
#include <string_view>

namespace Platform {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::u16string WideToUtf16(std::wstring_view text);
std::wstring Utf16ToWide(std::u16string_view text);

// The system ANSI code page is the locale's character set unless the container names
// a legacy code page (for example "GBK"). False, and nothing changed, when iconv does
// not know the name.
bool SetAnsiCodePage(const std::string& iconvName);
std::string AnsiCodePage();
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);

// The code-page form the components are written in.
constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
std::string WideCharToMultiByte(UINT codePage, std::wstring_view text);
std::wstring MultiByteToWideChar(UINT codePage, std::string_view text);

} // namespace Platform
