#pragma once
// The shell's vocabulary: item identifier lists, enumeration and file-information
// flags, and the records the shell fills.

#include "Platform/Win/WinTypes.h"

#include <cstdint>

namespace Platform {

using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using DWORD_PTR = std::uintptr_t;

// One step of an item identifier list: cb counts the whole step, cb itself included.
// A list is steps one after another, ended by a step with cb 0.
struct SHITEMID {
    USHORT cb;
    std::uint8_t abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;
using PITEMID_CHILD = ITEMIDLIST*;
using PCUITEMID_CHILD = const ITEMIDLIST*;
using PCUIDLIST_RELATIVE = const ITEMIDLIST*;

// Enumeration flags.
constexpr DWORD SHCONTF_FOLDERS = 0x0020;
constexpr DWORD SHCONTF_NONFOLDERS = 0x0040;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x0080;

// SHGetFileInfoW flags.
constexpr UINT SHGFI_SMALLICON = 0x000001;
constexpr UINT SHGFI_PIDL = 0x000008;
constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x000010;
constexpr UINT SHGFI_DISPLAYNAME = 0x000200;
constexpr UINT SHGFI_TYPENAME = 0x000400;
constexpr UINT SHGFI_SYSICONINDEX = 0x004000;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr int MAX_PATH = 260;

struct SHFILEINFOW {
    void* hIcon = nullptr;
    int iIcon = 0;
    DWORD dwAttributes = 0;
    wchar_t szDisplayName[MAX_PATH] = {};
    wchar_t szTypeName[80] = {};
};

// 100-nanosecond intervals since 1 January 1601 (UTC).
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD dwReserved0 = 0;
    DWORD dwReserved1 = 0;
    wchar_t cFileName[MAX_PATH] = {};
    wchar_t cAlternateFileName[14] = {};
};

using HANDLE = void*;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

} // namespace Platform
