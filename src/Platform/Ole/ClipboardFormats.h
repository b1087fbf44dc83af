#pragma once
// Registered clipboard formats: a private format number for a name, shared by every
// part of the process that names it.

#include "Platform/Ole/OleTypes.h"

namespace Platform {

// The format for the name, 0xC000 to 0xFFFF, the same for every call with the name
// (compared without regard to case). 0 for a null or empty name, or when every
// number is taken.
UINT RegisterClipboardFormatW(const wchar_t* name);

} // namespace Platform
