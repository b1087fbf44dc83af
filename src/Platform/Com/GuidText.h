#pragma once
// GUIDs in their registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include "Platform/Com/ComTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// Nothing when the text is not exactly that form (hexadecimal digits in any case).
std::optional<GUID> ParseGuid(std::wstring_view text);
// The parsed identifier, or the all-zero GUID when the text is malformed.
CLSID CLSIDFromString(std::wstring_view text);
// The registry form in uppercase hexadecimal digits.
std::wstring StringFromGuid(const GUID& guid);

} // namespace Platform
