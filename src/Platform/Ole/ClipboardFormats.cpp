#include "Platform/Ole/ClipboardFormats.h"

#include "Platform/ShellApi/StringCompare.h"

#include <mutex>
#include <string>
#include <vector>

namespace Platform {
namespace {

constexpr UINT kFirstFormat = 0xC000;
constexpr UINT kFormatCount = 0x4000;

} // namespace

UINT RegisterClipboardFormatW(const wchar_t* name)
{
    static std::mutex lock;
    // Registered names; a name's format is kFirstFormat plus its place here.
    static std::vector<std::wstring> names;
    if (!name || !*name)
        return 0;
    std::lock_guard guard(lock);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (StrCmpIW(names[i].c_str(), name) == 0)
            return kFirstFormat + static_cast<UINT>(i);
    if (names.size() == kFormatCount)
        return 0;
    names.emplace_back(name);
    return kFirstFormat + static_cast<UINT>(names.size() - 1);
}

} // namespace Platform
