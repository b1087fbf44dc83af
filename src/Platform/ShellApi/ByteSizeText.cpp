#include "Platform/ShellApi/ByteSizeText.h"

#include <algorithm>
#include <string>

namespace Platform {

wchar_t* StrFormatByteSizeW(LONGLONG size, wchar_t* buffer, UINT bufferSize)
{
    if (!buffer || bufferSize == 0)
        return nullptr;
    static constexpr const wchar_t* kUnits[] = {L"KB", L"MB", L"GB", L"TB", L"PB", L"EB"};
    const auto bytes = static_cast<unsigned long long>(std::max<LONGLONG>(size, 0));
    std::wstring text;
    if (bytes < 1024) {
        text = std::to_wstring(bytes) + L" bytes";
    } else {
        // Hundredths of the unit, so that every digit shown is cut, never rounded.
        int unit = 0;
        unsigned __int128 divisor = 1024;
        while (unit < 5 && bytes / divisor >= 1000) {
            divisor *= 1024;
            ++unit;
        }
        const auto hundredths = static_cast<unsigned long long>(static_cast<unsigned __int128>(bytes) * 100 / divisor);
        const std::wstring whole = std::to_wstring(hundredths / 100);
        if (hundredths < 1000)
            text = whole + L"." + std::to_wstring(hundredths / 10 % 10) + std::to_wstring(hundredths % 10);
        else if (hundredths < 10000)
            text = whole + L"." + std::to_wstring(hundredths / 10 % 10);
        else
            text = whole;
        text += L" ";
        text += kUnits[unit];
    }
    const std::size_t count = std::min<std::size_t>(text.size(), bufferSize - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = L'\0';
    return buffer;
}

} // namespace Platform
