#pragma once
// The resources compiled into the module, looked up by type name and id. The table
// itself is generated at build time from resources/Resources.txt.

#include <cstdint>
#include <span>
#include <string_view>

namespace Platform {

struct ResourceEntry {
    std::string_view type;
    std::uint16_t id = 0;
    std::span<const std::uint8_t> bytes;
};

// Every embedded resource, in the order of the table.
std::span<const ResourceEntry> EmbeddedResources();

// The resource with this type (ASCII letters compared without case, as resource
// type names are) and id, or null.
const ResourceEntry* FindEmbeddedResource(std::string_view type, unsigned id);

} // namespace Platform
