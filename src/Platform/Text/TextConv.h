#pragma once
// Text conversions between UTF-8, wide strings (UTF-32 on this platform), UTF-16 and
// the system ANSI code page. Input that is not valid in its encoding, and characters
// a target code page cannot hold, become the target's replacement character (U+FFFD
// for Unicode targets, '?' for a code page); nothing is silently dropped. Each invalid
// UTF-8 sequence (its longest start that could still have become a character) is one
// U+FFFD, and the bytes after it are read again, so no valid character is lost.
//
// File names are bytes, which need not be UTF-8 (archives made on other systems carry
// names in GBK and other legacy encodings). PathToWide decodes a name as UTF-8 and
// turns each byte of an invalid sequence into the code point U+DC00 + byte, in
// U+DC80..U+DCFF: these are lone surrogates, which no valid text holds. WideToPath
// turns them back into the same bytes, so every name the file system gives opens
// again by its real bytes. They cross BSTRs unchanged as lone UTF-16 surrogates, and
// every other conversion (WideToUtf8 for drawing, logs and the page's JSON,
// WideToAnsi for the wire) shows them as replacement characters.

#include "Platform/Com/ComTypes.h"

#include <string>
#include <string_view>

namespace Platform {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::u16string WideToUtf16(std::wstring_view text);
std::wstring Utf16ToWide(std::u16string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// The text with each invalid UTF-8 sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);
bool IsValidUtf8(std::string_view text);

// The value of a hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char c);

// File names; see above. Every path the platform opens or lists goes through these.
std::wstring PathToWide(std::string_view bytes);
std::string WideToPath(std::wstring_view path);

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

} // namespace Platform
