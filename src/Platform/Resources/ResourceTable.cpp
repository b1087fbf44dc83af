#include "Platform/Resources/ResourceTable.h"

#include <algorithm>

namespace Platform {
namespace {

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameTypeName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

} // namespace

const ResourceEntry* FindEmbeddedResource(std::string_view type, unsigned id)
{
    const auto entries = EmbeddedResources();
    const auto found = std::ranges::find_if(
        entries, [&](const ResourceEntry& entry) { return entry.id == id && SameTypeName(entry.type, type); });
    return found == entries.end() ? nullptr : &*found;
}

} // namespace Platform
