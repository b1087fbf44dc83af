#include "Platform/Resources/ResourceTable.h"

#include <algorithm>
#include <atomic>

namespace Platform {
namespace {

// Set once, when the first table's module loads; read from any thread afterwards.
std::atomic<const std::span<const ResourceEntry>*> registeredTable{nullptr};

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameTypeName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

} // namespace

std::span<const ResourceEntry> EmbeddedResources()
{
    const auto* table = registeredTable.load(std::memory_order_acquire);
    return table ? *table : std::span<const ResourceEntry>{};
}

void RegisterEmbeddedResources(const std::span<const ResourceEntry>& table)
{
    const std::span<const ResourceEntry>* none = nullptr;
    registeredTable.compare_exchange_strong(none, &table, std::memory_order_acq_rel);
}

const ResourceEntry* FindEmbeddedResource(std::string_view type, unsigned id)
{
    const auto entries = EmbeddedResources();
    const auto found = std::ranges::find_if(
        entries, [&](const ResourceEntry& entry) { return entry.id == id && SameTypeName(entry.type, type); });
    return found == entries.end() ? nullptr : &*found;
}

} // namespace Platform
