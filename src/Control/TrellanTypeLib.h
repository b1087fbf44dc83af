#pragma once
// The module's type library (resource TYPELIB 1), loaded once for the process.

#include "Platform/Com/TypeLib.h"

// Null when the resource cannot be read; the library lives until the process ends
// (callers AddRef what they keep).
Platform::ITypeLib* TrellanTypeLib();
// The type information of ITrellan, or null.
Platform::ITypeInfo* TrellanTypeInfo();
