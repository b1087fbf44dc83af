#include "Platform/ShellApi/StringCompare.h"

#include <locale>

namespace Platform {
namespace {

// The C.UTF-8 locale knows every Unicode letter; the classic one only ASCII, which is
// the fallback on a system without it.
const std::ctype<wchar_t>& CaseMapping()
{
    static const std::locale unicode = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error&) {
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::ctype<wchar_t>>(unicode);
}

} // namespace

int StrCmpIW(const wchar_t* first, const wchar_t* second)
{
    if (!first || !second)
        return (first ? 1 : 0) - (second ? 1 : 0);
    const std::ctype<wchar_t>& mapping = CaseMapping();
    for (;; ++first, ++second) {
        const wchar_t a = mapping.tolower(*first);
        const wchar_t b = mapping.tolower(*second);
        if (a != b)
            return a < b ? -1 : 1;
        if (!a)
            return 0;
    }
}

} // namespace Platform
