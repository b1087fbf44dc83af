#pragma once
// The shell's path functions with Linux path rules: "/" separates components, the
// root is "/", and a name that starts with a dot is hidden, not an extension.
// Paths are wide strings; files are looked up by the bytes WideToPath gives.

#include "Platform/Win/WinTypes.h"

namespace Platform {

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;

// TRUE when a file or folder exists at the path (symbolic links are followed).
BOOL PathFileExistsW(const wchar_t* path);
// FILE_ATTRIBUTE_DIRECTORY when the path names a folder, else FALSE.
BOOL PathIsDirectoryW(const wchar_t* path);
// TRUE for the file-system root: one or more slashes and nothing else.
BOOL PathIsRootW(const wchar_t* path);
// The last component's extension: its last dot and what follows, or the terminating
// null when it has none. Dots at the start of the component do not count ("/a/.jpg"
// has no extension, "/a/.b.jpg" has ".jpg"). Null for a null path.
const wchar_t* PathFindExtensionW(const wchar_t* path);

} // namespace Platform
