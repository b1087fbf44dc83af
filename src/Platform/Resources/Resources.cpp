#include "Platform/Resources/Resources.h"

#include "Platform/Resources/ResourceTable.h"
#include "Platform/Text/TextConv.h"

#include <algorithm>
#include <optional>
#include <string>

namespace Platform {
namespace {

// Resource type names are ASCII; anything else matches no resource.
std::optional<std::string> AsciiName(const wchar_t* text)
{
    std::string name;
    for (; *text != L'\0'; ++text) {
        if (*text < 0x20 || *text > 0x7E)
            return std::nullopt;
        name += static_cast<char>(*text);
    }
    return name;
}

std::optional<unsigned> ResourceId(const wchar_t* name)
{
    if (IS_INTRESOURCE(name))
        return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name));
    if (name[0] != L'#' || name[1] == L'\0')
        return std::nullopt;
    unsigned id = 0;
    for (const wchar_t* digit = name + 1; *digit != L'\0'; ++digit) {
        if (*digit < L'0' || *digit > L'9')
            return std::nullopt;
        id = id * 10 + static_cast<unsigned>(*digit - L'0');
        if (id > 0xFFFF)
            return std::nullopt;
    }
    return id;
}

// Only handles that point into the table are resources; anything else is refused.
const ResourceEntry* EntryOf(HRSRC resource)
{
    const auto entries = EmbeddedResources();
    const auto address = reinterpret_cast<std::uintptr_t>(resource);
    const auto first = reinterpret_cast<std::uintptr_t>(entries.data());
    const std::uintptr_t offset = address - first;
    if (address < first || offset % sizeof(ResourceEntry) != 0 || offset / sizeof(ResourceEntry) >= entries.size())
        return nullptr;
    return &entries[offset / sizeof(ResourceEntry)];
}

} // namespace

HRSRC FindResourceW(HMODULE, const wchar_t* name, const wchar_t* type)
{
    if (type == nullptr || IS_INTRESOURCE(type))
        return nullptr;
    const auto id = ResourceId(name);
    const auto typeName = AsciiName(type);
    if (!id || !typeName)
        return nullptr;
    const ResourceEntry* entry = FindEmbeddedResource(*typeName, *id);
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    const ResourceEntry* entry = EntryOf(resource);
    return entry == nullptr ? nullptr : const_cast<std::uint8_t*>(entry->bytes.data());
}

void* LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    const ResourceEntry* entry = EntryOf(resource);
    return entry == nullptr ? 0 : static_cast<DWORD>(entry->bytes.size());
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}

int LoadStringW(HINSTANCE module, UINT id, wchar_t* buffer, int size)
{
    if (!buffer || size <= 0 || id > 0xFFFF)
        return 0;
    buffer[0] = L'\0';
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(static_cast<WORD>(id)), L"STRING");
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    if (!bytes)
        return 0;
    const std::wstring text = Utf8ToWide(std::string_view(bytes, SizeofResource(module, resource)));
    const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(size - 1));
    text.copy(buffer, copied);
    buffer[copied] = L'\0';
    return static_cast<int>(copied);
}

} // namespace Platform
