#include "Platform/Gdiplus/GuidText.h"

namespace Platform {

namespace {

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

} // namespace

std::optional<GUID> ParseGuid(std::wstring_view text)
{
    constexpr std::wstring_view shape = L"{........-....-....-....-............}";
    if (text.size() != shape.size())
        return std::nullopt;
    std::uint8_t bytes[16] = {};
    int nibble = 0;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] != L'.') {
            if (text[i] != shape[i])
                return std::nullopt;
            continue;
        }
        const int value = HexValue(text[i]);
        if (value < 0)
            return std::nullopt;
        bytes[nibble / 2] = static_cast<std::uint8_t>(bytes[nibble / 2] << 4 | value);
        ++nibble;
    }
    GUID guid{};
    guid.Data1 = static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    guid.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    guid.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = bytes[8 + i];
    return guid;
}

CLSID CLSIDFromString(std::wstring_view text)
{
    return ParseGuid(text).value_or(CLSID{});
}

} // namespace Platform
