#pragma once
// Comparing texts without regard to case, as the shell's string functions do. Case
// is folded by Unicode's simple mappings, so "Ä" equals "ä" and ".JPG" equals ".jpg",
// whatever locale the process runs in.

namespace Platform {

// Negative, zero or positive as first sorts before, equal to or after second once both
// are lower-cased. A null text sorts before every other text.
int StrCmpIW(const wchar_t* first, const wchar_t* second);

} // namespace Platform
