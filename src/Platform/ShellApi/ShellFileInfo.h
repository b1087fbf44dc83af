#pragma once
// What the shell tells about a file, a folder or an item of its namespace: display
// name, type name and small icon, and the file-system path of an item.

#include "Platform/ShellApi/ShellTypes.h"

namespace Platform {

// path is a file-system path, or an absolute item identifier list with SHGFI_PIDL.
// With SHGFI_USEFILEATTRIBUTES the file system is not asked: attributes say whether
// it is a folder. Returns the system small icon list for SHGFI_SYSICONINDEX, else
// non-zero; 0 when the item cannot be found.
DWORD_PTR SHGetFileInfoW(const wchar_t* path, DWORD attributes, SHFILEINFOW* info, UINT infoSize, UINT flags);
// The item's file-system path into a buffer of MAX_PATH characters; FALSE (and an
// empty text) for a virtual item or a longer path.
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, wchar_t* path);
// The same with a buffer of size characters.
BOOL SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE list, wchar_t* path, DWORD size, int flags);

} // namespace Platform
