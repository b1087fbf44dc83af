#pragma once
// Module resources in the vocabulary the components are written in: find a resource
// by id and type name, load it, lock it for its bytes and ask its size. The module
// holds the only resource table, so the module handle selects nothing.

#include "Platform/Win/WinTypes.h"

#include <cstdint>

namespace Platform {

using HMODULE = HINSTANCE;
struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;

// An integer resource id carried in a name pointer.
inline const wchar_t* MAKEINTRESOURCEW(WORD id)
{
    return reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(id));
}

inline bool IS_INTRESOURCE(const wchar_t* name)
{
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

// The name is an integer id (MAKEINTRESOURCEW) or its text form "#226"; the type is
// a name such as L"PNG" or L"REGISTRY". Null when there is no such resource.
HRSRC FindResourceW(HMODULE module, const wchar_t* name, const wchar_t* type);
// The resource's bytes stay valid for the life of the module; they are read-only.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Embedded resources are never unloaded; always FALSE, as for any resource.
BOOL FreeResource(HGLOBAL data);

// Copies the string resource id (a resource of type "STRING", UTF-8) into buffer, cut
// to size - 1 characters and closed with a zero; the number of characters copied, 0
// when there is no such string or no room.
int LoadStringW(HINSTANCE module, UINT id, wchar_t* buffer, int size);

} // namespace Platform
