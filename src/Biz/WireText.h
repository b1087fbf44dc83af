#pragma once
// Text as it goes on the wire: percent-encoded UTF-8 when "EncodeType" is utf-8
// (any case), otherwise the system ANSI code page, unencoded.

#include <string>
#include <string_view>

bool IsUtf8EncodeType(const std::wstring& encodeType);

// ASCII letters and digits stay, a space becomes "+", every other byte "%XX"
// (uppercase hexadecimal); hyphen, dot, underscore and tilde are encoded too.
std::string PercentEncode(std::string_view bytes);

// The remark field's bytes.
std::string EncodeWireText(const std::wstring& text, const std::wstring& encodeType);
