#pragma once
// The text form of a registry hive: a JSON object whose "keys" and "values" hold a
// key's subkeys and values by name; a value is a string or a 32-bit number.

#include "Platform/Com/RegistryKey.h"

#include <optional>
#include <string>
#include <string_view>

namespace Platform {

std::string WriteRegistryFile(const RegistryKey& root);
// Nothing when the text is not a hive in this form.
std::optional<RegistryKey> ParseRegistryFile(std::string_view text);

} // namespace Platform
