#pragma once
// The shell's path functions with Linux path rules: "/" separates components, the
// root is "/", and a name that starts with a dot is hidden, not an extension.
// Paths are wide strings; files are looked up by the bytes WideToPath gives.

#include "Platform/ShellApi/ShellTypes.h"

#include <string>

namespace Platform {

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
// Reduces the path to the root of the volume that holds it: the mount point of the
// computer's volumes (see ShellVolumes) with the longest match of whole components,
// "/" for any other absolute path. FALSE, and the path unchanged, for a relative or
// empty path. The buffer must hold the path; the result is never longer.
BOOL PathStripToRootW(wchar_t* path);
// The folder and the name joined by one "/"; an absolute name stands alone. No
// length limit.
std::wstring PathCombineW(const std::wstring& folder, const std::wstring& name);

} // namespace Platform
