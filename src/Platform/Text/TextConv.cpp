#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <mutex>

namespace Platform {
namespace {

struct Encoding {
    const char* name;
    std::size_t unit; // bytes skipped past an input unit that cannot be converted
};

constexpr Encoding kUtf8{"UTF-8", 1};
constexpr Encoding kWide{"WCHAR_T", sizeof(wchar_t)};
constexpr Encoding kUtf16{"UTF-16LE", 2};

std::mutex codePageLock;
std::string codePageName;

std::string CurrentCodePage()
{
    std::lock_guard guard(codePageLock);
    if (codePageName.empty()) {
        // The character set of the environment's locale. The plain C locale only
        // promises ASCII; it is taken as UTF-8, as C.UTF-8 does, so that text is not
        // turned into question marks on machines with no locale set.
        std::string name = "UTF-8";
        if (locale_t environment = newlocale(LC_CTYPE_MASK, "", nullptr)) {
            name = nl_langinfo_l(CODESET, environment);
            freelocale(environment);
        }
        codePageName = name == "ANSI_X3.4-1968" ? "UTF-8" : name;
    }
    return codePageName;
}

// Converts with iconv, replacing what cannot be converted and going on.
std::string Recode(const Encoding& from, const char* to, std::string_view replacement, const char* data,
                   std::size_t size)
{
    iconv_t cd = iconv_open(to, from.name);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string();
    std::string out;
    out.resize(size * 4 + 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    std::size_t used = 0;
    while (inLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t result = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: an invalid or unconvertible unit, or a cut-off sequence.
        if (out.size() - used < replacement.size() + 16)
            out.resize(out.size() * 2);
        out.replace(used, replacement.size(), replacement);
        used += replacement.size();
        const std::size_t skip = std::min(from.unit, inLeft);
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

template <class Char>
std::basic_string<Char> FromBytes(const std::string& bytes)
{
    std::basic_string<Char> text(bytes.size() / sizeof(Char), Char());
    if (!text.empty())
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(Char));
    return text;
}

const std::string_view kWideReplacement{"\xFD\xFF\x00\x00", sizeof(wchar_t)};
const std::string_view kUtf16Replacement{"\xFD\xFF", 2};

} // namespace

std::wstring Utf8ToWide(std::string_view text)
{
    return FromBytes<wchar_t>(Recode(kUtf8, kWide.name, kWideReplacement, text.data(), text.size()));
}

std::string WideToUtf8(std::wstring_view text)
{
    return Recode(kWide, kUtf8.name, "\xEF\xBF\xBD", reinterpret_cast<const char*>(text.data()),
                  text.size() * sizeof(wchar_t));
}

std::u16string WideToUtf16(std::wstring_view text)
{
    return FromBytes<char16_t>(Recode(kWide, kUtf16.name, kUtf16Replacement,
                                      reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
}

std::wstring Utf16ToWide(std::u16string_view text)
{
    return FromBytes<wchar_t>(Recode(kUtf16, kWide.name, kWideReplacement,
                                     reinterpret_cast<const char*>(text.data()), text.size() * 2));
}

bool SetAnsiCodePage(const std::string& iconvName)
{
    iconv_t probe = iconv_open(iconvName.c_str(), kWide.name);
    if (probe == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(probe);
    std::lock_guard guard(codePageLock);
    codePageName = iconvName;
    return true;
}

std::string AnsiCodePage()
{
    return CurrentCodePage();
}

std::string WideToAnsi(std::wstring_view text)
{
    const std::string page = CurrentCodePage();
    return Recode(kWide, page.c_str(), "?", reinterpret_cast<const char*>(text.data()),
                  text.size() * sizeof(wchar_t));
}

std::wstring AnsiToWide(std::string_view text)
{
    const std::string page = CurrentCodePage();
    return FromBytes<wchar_t>(Recode(Encoding{page.c_str(), 1}, kWide.name, kWideReplacement, text.data(), text.size()));
}

std::string WideCharToMultiByte(UINT codePage, std::wstring_view text)
{
    return codePage == CP_UTF8 ? WideToUtf8(text) : WideToAnsi(text);
}

std::wstring MultiByteToWideChar(UINT codePage, std::string_view text)
{
    return codePage == CP_UTF8 ? Utf8ToWide(text) : AnsiToWide(text);
}

} // namespace Platform
