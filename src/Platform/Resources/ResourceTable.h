#pragma once
// The resources compiled into the module, looked up by type name and id. The table
// itself is generated at build time from resources/Resources.txt, and registers itself
// here when the module (or a program holding the components) is loaded.

#include <cstdint>
#include <span>
#include <string_view>

namespace Platform {

struct ResourceEntry {
    std::string_view type;
    std::uint16_t id = 0;
    std::span<const std::uint8_t> bytes;
};

// Every embedded resource, in the order of the table; empty before a table registered.
std::span<const ResourceEntry> EmbeddedResources();
// Makes table the one that lookups use. The first table registered stays: a program
// that holds the components and loads the module has two copies of one table.
void RegisterEmbeddedResources(const std::span<const ResourceEntry>& table);

// The resource with this type (ASCII letters compared without case, as resource
// type names are) and id, or null.
const ResourceEntry* FindEmbeddedResource(std::string_view type, unsigned id);

} // namespace Platform
