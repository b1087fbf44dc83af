#pragma once
// A registration script read into its keys, with replacements already made.

#include "Platform/Com/RegistryKey.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Platform {

struct ScriptKey {
    enum class Removal { Normal, NoRemove, ForceRemove };

    std::wstring name;
    Removal removal = Removal::Normal;
    std::optional<RegistryKey::Value> defaultValue;
    std::vector<std::pair<std::wstring, RegistryKey::Value>> values;
    std::vector<ScriptKey> subkeys;
};

// The keys under the script's HKCR roots; nothing when the script is malformed or
// uses a replacement that replacements lacks.
std::optional<std::vector<ScriptKey>> ReadRegistrarScript(std::wstring_view script,
                                                          const std::map<std::wstring, std::wstring>& replacements);

} // namespace Platform
