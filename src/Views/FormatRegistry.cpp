#include "Views/FormatRegistry.h"

#include "Platform/Ole/ClipboardFormats.h"

#include <vector>

using namespace Platform;

namespace {

FORMATETC ContentInGlobalMemory(CLIPFORMAT format)
{
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

} // namespace

FormatRegistry& FormatRegistry::Instance()
{
    static FormatRegistry registry;
    return registry;
}

void FormatRegistry::RegisterFormat(const std::wstring& name)
{
    std::lock_guard guard(lock);
    if (formats.contains(name))
        return;
    if (const UINT format = RegisterClipboardFormatW(name.c_str()))
        formats.emplace(name, ContentInGlobalMemory(static_cast<CLIPFORMAT>(format)));
}

FORMATETC FormatRegistry::LookupFormat(const std::wstring& name) const
{
    std::lock_guard guard(lock);
    auto found = formats.find(name);
    return found == formats.end() ? ContentInGlobalMemory(0) : found->second;
}

bool FormatRegistry::OffersAny(IDataObject* data) const
{
    if (!data)
        return false;
    std::vector<FORMATETC> known;
    {
        // The data object is asked without the lock: it may be anybody's code.
        std::lock_guard guard(lock);
        for (const auto& [name, format] : formats)
            known.push_back(format);
    }
    for (FORMATETC& format : known)
        if (data->QueryGetData(&format) == S_OK)
            return true;
    return false;
}
