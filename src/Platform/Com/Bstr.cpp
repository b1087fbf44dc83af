#include "Platform/Com/Bstr.h"

#include "Platform/Text/TextConv.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace Platform {

// Layout: a 32-bit byte count, the characters, then a terminating zero. The BSTR
// points at the first character.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    if (length > (std::numeric_limits<std::uint32_t>::max() - 8) / sizeof(OLECHAR))
        return nullptr;
    const std::uint32_t bytes = length * sizeof(OLECHAR);
    auto* block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    std::memcpy(block, &bytes, sizeof bytes);
    auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint32_t));
    if (text)
        std::memcpy(chars, text, bytes);
    else
        std::memset(chars, 0, bytes);
    chars[length] = 0;
    return chars;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
}

UINT SysStringLen(BSTR text)
{
    if (!text)
        return 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<char*>(text) - sizeof(std::uint32_t), sizeof bytes);
    return bytes / sizeof(OLECHAR);
}

BSTR BstrFromWide(const std::wstring& text)
{
    const std::u16string utf16 = WideToUtf16(text);
    return SysAllocStringLen(utf16.data(), static_cast<UINT>(utf16.size()));
}

std::wstring WideFromBstr(BSTR text)
{
    return Utf16ToWide(std::u16string_view(text ? text : u"", SysStringLen(text)));
}

} // namespace Platform
