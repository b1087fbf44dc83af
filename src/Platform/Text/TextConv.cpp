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

constexpr Encoding kWide{"WCHAR_T", sizeof(wchar_t)};

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

template <class Char> std::basic_string<Char> FromBytes(const std::string& bytes)
{
    std::basic_string<Char> text(bytes.size() / sizeof(Char), Char());
    if (!text.empty())
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(Char));
    return text;
}

const std::string_view kWideReplacement{"\xFD\xFF\x00\x00", sizeof(wchar_t)};

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kPathByteBase = 0xDC00;

bool IsSurrogate(char32_t code)
{
    return code >= 0xD800 && code <= 0xDFFF;
}

bool IsPathByte(char32_t code)
{
    return code >= kPathByteBase + 0x80 && code <= kPathByteBase + 0xFF;
}

// One step of UTF-8 decoding at the start of text: a character and its length, or,
// when valid is false, the length of the invalid sequence (at least one byte).
struct Utf8Step {
    char32_t code;
    std::size_t length;
    bool valid;
};

Utf8Step DecodeUtf8(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return {lead, 1, true};
    const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0)
        return {kReplacement, 1, false};
    // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return {kReplacement, i, false};
        code = code << 6 | (next & 0x3F);
    }
    return {code, length, true};
}

// Calls visit(step, bytes of the step) for each step of text while it returns true;
// false when a visit stopped it.
template <class Visit> bool ForEachUtf8Step(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const Utf8Step step = DecodeUtf8(text);
        if (!visit(step, text.substr(0, step.length)))
            return false;
        text.remove_prefix(step.length);
    }
    return true;
}

std::size_t Utf8Length(char32_t code)
{
    return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
}

// Surrogates and values past U+10FFFF are not characters; they are written as U+FFFD.
char32_t Writable(char32_t code)
{
    return IsSurrogate(code) || code > 0x10FFFF ? kReplacement : code;
}

void AppendUtf8(std::string& out, char32_t code)
{
    const std::size_t length = Utf8Length(code);
    if (length == 1) {
        out.push_back(static_cast<char>(code));
        return;
    }
    static constexpr unsigned char kLeads[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(kLeads[length] | code >> (6 * (length - 1))));
    for (std::size_t i = length - 1; i > 0; --i)
        out.push_back(static_cast<char>(0x80 | ((code >> (6 * (i - 1))) & 0x3F)));
}

// UTF-16 decoding: a pair makes one character; a lone surrogate is passed to lone().
template <class Sink, class Lone> void DecodeUtf16(std::u16string_view text, Sink sink, Lone lone)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            sink(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            sink(IsSurrogate(unit) ? lone(unit) : unit);
        }
    }
}

} // namespace

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    ForEachUtf8Step(text, [&out](const Utf8Step& step, std::string_view) {
        out.push_back(static_cast<wchar_t>(step.code));
        return true;
    });
    return out;
}

std::string WideToUtf8(std::wstring_view text)
{
    // Exactly the room it needs: text and logs can be large.
    std::size_t size = 0;
    for (wchar_t c : text)
        size += Utf8Length(Writable(static_cast<char32_t>(c)));
    std::string out;
    out.reserve(size);
    for (wchar_t c : text)
        AppendUtf8(out, Writable(static_cast<char32_t>(c)));
    return out;
}

std::u16string WideToUtf16(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const auto code = static_cast<char32_t>(c);
        if (IsPathByte(code)) {
            out.push_back(static_cast<char16_t>(code));
            continue;
        }
        const char32_t written = Writable(code);
        if (written < 0x10000) {
            out.push_back(static_cast<char16_t>(written));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((written - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((written - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

std::wstring Utf16ToWide(std::u16string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    DecodeUtf16(
        text, [&out](char32_t code) { out.push_back(static_cast<wchar_t>(code)); },
        [](char32_t unit) { return IsPathByte(unit) ? unit : kReplacement; });
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::size_t size = 0;
    const auto lone = [](char32_t) { return kReplacement; };
    DecodeUtf16(
        text, [&size](char32_t code) { size += Utf8Length(code); }, lone);
    std::string out;
    out.reserve(size);
    DecodeUtf16(
        text, [&out](char32_t code) { AppendUtf8(out, code); }, lone);
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    return ForEachUtf8Step(text, [](const Utf8Step& step, std::string_view) { return step.valid; });
}

std::string ValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    ForEachUtf8Step(text, [&out](const Utf8Step& step, std::string_view bytes) {
        if (step.valid)
            out.append(bytes);
        else
            AppendUtf8(out, kReplacement);
        return true;
    });
    return out;
}

std::wstring PathToWide(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    ForEachUtf8Step(bytes, [&out](const Utf8Step& step, std::string_view sequence) {
        if (step.valid)
            out.push_back(static_cast<wchar_t>(step.code));
        for (std::size_t i = 0; !step.valid && i < sequence.size(); ++i)
            out.push_back(static_cast<wchar_t>(kPathByteBase + static_cast<unsigned char>(sequence[i])));
        return true;
    });
    return out;
}

std::string WideToPath(std::wstring_view path)
{
    std::string out;
    out.reserve(path.size());
    for (wchar_t c : path) {
        const auto code = static_cast<char32_t>(c);
        if (IsPathByte(code))
            out.push_back(static_cast<char>(code - kPathByteBase));
        else
            AppendUtf8(out, Writable(code));
    }
    return out;
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
    return Recode(kWide, page.c_str(), "?", reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring AnsiToWide(std::string_view text)
{
    const std::string page = CurrentCodePage();
    return FromBytes<wchar_t>(
        Recode(Encoding{page.c_str(), 1}, kWide.name, kWideReplacement, text.data(), text.size()));
}

std::string WideCharToMultiByte(UINT codePage, std::wstring_view text)
{
    return codePage == CP_UTF8 ? WideToUtf8(text) : WideToAnsi(text);
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace Platform
