#pragma once
// The user's profile of window-system settings (what win.ini holds elsewhere): an
// INI file of [section] and key=value lines. It is $TRELLAN_PROFILE when set, else
// trellan/win.ini under $XDG_CONFIG_HOME (or ~/.config). A missing file or entry
// gives the caller's default.

#include "Platform/Win/WinTypes.h"

namespace Platform {

// The entry's leading decimal number (0 when it has none); the default when the file,
// section or key is missing. Section and key names ignore case.
UINT GetProfileIntW(const wchar_t* section, const wchar_t* key, int defaultValue);

} // namespace Platform
