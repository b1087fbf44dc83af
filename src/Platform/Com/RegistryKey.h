#pragma once
// One key of the registry store: named subkeys and named values (strings or
// numbers), both compared without regard to ASCII case. The default value has the
// empty name. Paths name nested keys with backslashes.

#include "Platform/Com/ComTypes.h"

#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace Platform {

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
};

class RegistryKey {
public:
    using Value = std::variant<std::wstring, DWORD>;
    using Subkeys = std::map<std::wstring, RegistryKey, NoCaseLess>;
    using Values = std::map<std::wstring, Value, NoCaseLess>;

    // A key name is 1 to 255 characters without a backslash or control character.
    static bool ValidName(std::wstring_view name);
    // Every component of the path is a valid name; the empty path names this key.
    static bool ValidPath(std::wstring_view path);

    // Null when a key on the way is missing or the path is not valid.
    RegistryKey* Find(std::wstring_view path);
    const RegistryKey* Find(std::wstring_view path) const;
    // Creates the missing keys on the way; null only for a path that is not valid.
    RegistryKey* Create(std::wstring_view path);
    // Removes the key at path with everything below it; false when there is none.
    bool DeleteTree(std::wstring_view path);

    void SetValue(std::wstring_view name, Value value);
    const Value* GetValue(std::wstring_view name) const;
    bool DeleteValue(std::wstring_view name);

    const Subkeys& subkeys() const { return children; }
    const Values& values() const { return data; }
    bool Empty() const { return children.empty() && data.empty(); }

    // Lays other over this key: its values replace values of the same name, its
    // subkeys are merged into subkeys of the same name.
    void MergeFrom(const RegistryKey& other);

    friend bool operator==(const RegistryKey&, const RegistryKey&) = default;

private:
    Subkeys children;
    Values data;
};

} // namespace Platform
