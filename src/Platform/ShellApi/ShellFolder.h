#pragma once
// The shell's folder objects as the folder tree uses them: the desktop folder, its
// enumeration of children as item identifier lists, binding a child to its own folder
// object, and the allocator that owns the lists.

#include "Platform/Com/Unknown.h"
#include "Platform/ShellApi/ShellTypes.h"

#include <cstddef>

namespace Platform {

inline constexpr IID IID_IMalloc = {0x00000002, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IEnumIDList = {0x000214F2, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IShellFolder = {0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IMalloc : public IUnknown {
public:
    virtual void* Alloc(std::size_t size) = 0;
    virtual void Free(void* block) = 0;
};

class IEnumIDList : public IUnknown {
public:
    // Up to count child lists (each to be freed with the allocator); S_FALSE when
    // fewer were left.
    virtual HRESULT Next(ULONG count, PITEMID_CHILD* items, ULONG* fetched) = 0;
};

class IShellFolder : public IUnknown {
public:
    // The children chosen by the SHCONTF_ flags, read now.
    virtual HRESULT EnumObjects(HWND owner, DWORD flags, IEnumIDList** items) = 0;
    // The folder object of a descendant given by a relative list; E_FAIL when it is
    // not a folder, E_NOINTERFACE for another interface than IShellFolder.
    virtual HRESULT BindToObject(PCUIDLIST_RELATIVE item, void* bindContext, REFIID iid, void** object) = 0;
};

HRESULT SHGetDesktopFolder(IShellFolder** folder);
HRESULT SHGetMalloc(IMalloc** allocator);

} // namespace Platform
