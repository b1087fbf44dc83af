#include "Biz/WireText.h"

#include "Platform/Text/TextConv.h"

#include <boost/algorithm/string/predicate.hpp>

using namespace Platform;

bool IsUtf8EncodeType(const std::wstring& encodeType)
{
    return boost::algorithm::iequals(encodeType, L"utf-8");
}

std::string PercentEncode(std::string_view bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool letterOrDigit =
            (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
        if (letterOrDigit) {
            encoded += c;
        } else if (byte == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string EncodeWireText(const std::wstring& text, const std::wstring& encodeType)
{
    if (IsUtf8EncodeType(encodeType))
        return PercentEncode(WideToUtf8(text));
    return WideToAnsi(text);
}
